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

    // Registers a widget with its builder; an item without both is refused.
    void registerItem(const QByteArray &className, Factory factory, Builder builder);

    Builder builder(const QByteArray &className) const;
    Factory factory(const QByteArray &className) const;
    QList<QByteArray> builderNames() const;
    QList<QByteArray> factoryNames() const;
    // A new widget of `className`, or null when none is registered.
    QWidget *create(const QByteArray &className, QWidget *parent) const;

private:
    HXOptionItemRegistry();
    QHash<QByteArray, Factory> m_factories;
    QHash<QByteArray, Builder> m_builders;
};

} // namespace HXCPControls
