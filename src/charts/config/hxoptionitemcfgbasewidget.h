#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonObject>
#include <QVariantMap>
#include <QWidget>

#include <functional>

namespace HXCPControls {

// Base of the small editors of one option item (legend, axes, series ...).
// Each edits the entry of the option configuration stored under its class
// name ("HXCPControls::HXLegendCfgWidget") and announces every change a user
// makes; the builder registered beside it turns the entry into option keys.
class HXCPCONTROLS_EXPORT HXOptionItemCfgBaseWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HXOptionItemCfgBaseWidget(QWidget *parent = nullptr);

    // The key of the widget's entry: its class name as the meta object gives it.
    QString entryKey() const;

public slots:
    // Fills the controls from the configuration and the shown option.
    virtual void setConfig(const QVariantMap &cfg, const QJsonObject &option);
    // Stores the widget's entry into `cfg` under its class name.
    virtual void writeConfig(QVariantMap &cfg);
    // Announces a change unless the controls are being filled.
    void changeConfig();

signals:
    void configChanged();

protected:
    // The entry this widget reads: its own map from `cfg`.
    QVariantMap ownEntry(const QVariantMap &cfg) const;
    // Runs `fill` with changes muted.
    void filling(const std::function<void()> &fill);
    // Connects the changes of every check box, radio button and line edit below this widget.
    void watchControls();

private:
    bool m_filling = false;
};

} // namespace HXCPControls
