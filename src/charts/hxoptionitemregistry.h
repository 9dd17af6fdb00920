#pragma once

#include "common/hxcpcontrols_global.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QVariantMap>

class QWidget;

namespace HXCPControls {

// The process-wide table of option items: per class name (without the
// namespace, "HXLegendCfgWidget"), the function that writes its part of an
// ECharts option and the factory of the widget that edits its settings.
// Created on first use, never destroyed.
class HXCPCONTROLS_EXPORT HXOptionItemRegistry
{
public:
    using Factory = QWidget *(*)(QWidget *parent);
    using Builder = void (*)(const QVariantMap &cfg, QJsonObject &option);

    static HXOptionItemRegistry *instance();

    void registerItem(const QByteArray &className, Factory factory, Builder builder);
    void registerFactory(const QByteArray &className, Factory factory);
    void registerBuilder(const QByteArray &className, Builder builder);

    Builder builder(const QByteArray &className) const;
    Factory factory(const QByteArray &className) const;
    QList<QByteArray> builderNames() const;

private:
    HXOptionItemRegistry();
    QHash<QByteArray, Factory> m_factories;
    QHash<QByteArray, Builder> m_builders;
};

} // namespace HXCPControls
