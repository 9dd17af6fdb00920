#include "hxoptionitemcfgbasewidget.h"

#include <QAbstractButton>
#include <QLineEdit>

namespace HXCPControls {

HXOptionItemCfgBaseWidget::HXOptionItemCfgBaseWidget(QWidget *parent)
    : QWidget(parent)
{
}

QString HXOptionItemCfgBaseWidget::entryKey() const
{
    return QString::fromLatin1(metaObject()->className());
}

void HXOptionItemCfgBaseWidget::setConfig(const QVariantMap &, const QJsonObject &)
{
}

void HXOptionItemCfgBaseWidget::writeConfig(QVariantMap &cfg)
{
    cfg.insert(entryKey(), QVariantMap());
}

void HXOptionItemCfgBaseWidget::changeConfig()
{
    if (!m_filling)
        emit configChanged();
}

QVariantMap HXOptionItemCfgBaseWidget::ownEntry(const QVariantMap &cfg) const
{
    return cfg.value(entryKey()).toMap();
}

void HXOptionItemCfgBaseWidget::filling(const std::function<void()> &fill)
{
    const bool was = m_filling;
    m_filling = true;
    fill();
    m_filling = was;
}

void HXOptionItemCfgBaseWidget::watchControls()
{
    for (QAbstractButton *button : findChildren<QAbstractButton *>()) {
        // Exclusive buttons report the one switched on, once per choice.
        connect(button, &QAbstractButton::toggled, this, [this, button](bool on) {
            if (on || !button->autoExclusive() || button->group() == nullptr)
                changeConfig();
        });
    }
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        connect(edit, &QLineEdit::textChanged, this, &HXOptionItemCfgBaseWidget::changeConfig);
}

} // namespace HXCPControls
