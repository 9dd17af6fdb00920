#include "cpsizepolicysettings.h"

#include "contentformat.h"
#include "ui_cpsizepolicysettings.h"

namespace HXCPControls {

CPSizePolicySettings::CPSizePolicySettings(QWidget *parent)
    : QFrame(parent)
    , ui(std::make_unique<Ui::CPSizePolicySettings>())
{
    ui->setupUi(this);
    ui->cbHPolicy->addItems(policyNames());
    ui->cbVPolicy->addItems(policyNames());
}

CPSizePolicySettings::~CPSizePolicySettings() = default;

QStringList CPSizePolicySettings::policyNames()
{
    return {QStringLiteral("Fixed"),     QStringLiteral("Minimum"),          QStringLiteral("Maximum"),
            QStringLiteral("Preferred"), QStringLiteral("Expanding"),        QStringLiteral("MinimumExpanding"),
            QStringLiteral("Ignored")};
}

void CPSizePolicySettings::setValues(const QSize &minSize, const QSize &maxSize, const QSizePolicy &policy,
                                     const QSize &current)
{
    ui->sbMinWidth->setValue(minSize.width());
    ui->sbMinHeight->setValue(minSize.height());
    ui->sbMaxWidth->setValue(maxSize.width());
    ui->sbMaxHeight->setValue(maxSize.height());
    ui->cbHPolicy->setCurrentText(ContentFormat::policyName(policy.horizontalPolicy()));
    ui->cbVPolicy->setCurrentText(ContentFormat::policyName(policy.verticalPolicy()));
    ui->sbHStretch->setValue(policy.horizontalStretch());
    ui->sbVStretch->setValue(policy.verticalStretch());
    ui->leCurrentWidth->setText(QString::number(current.width()));
    ui->leCurrentHeight->setText(QString::number(current.height()));
}

QSize CPSizePolicySettings::minSize() const
{
    return QSize(ui->sbMinWidth->value(), ui->sbMinHeight->value());
}

QSize CPSizePolicySettings::maxSize() const
{
    return QSize(ui->sbMaxWidth->value(), ui->sbMaxHeight->value());
}

QSizePolicy CPSizePolicySettings::policy(QSizePolicy base) const
{
    QSizePolicy::Policy p;
    if (ContentFormat::policyFromName(ui->cbHPolicy->currentText(), &p))
        base.setHorizontalPolicy(p);
    if (ContentFormat::policyFromName(ui->cbVPolicy->currentText(), &p))
        base.setVerticalPolicy(p);
    base.setHorizontalStretch(ui->sbHStretch->value());
    base.setVerticalStretch(ui->sbVStretch->value());
    return base;
}

void CPSizePolicySettings::on_tbCopyToMinWidth_clicked()
{
    ui->sbMinWidth->setValue(ui->leCurrentWidth->text().toInt());
}

void CPSizePolicySettings::on_tbCopyToMinHeight_clicked()
{
    ui->sbMinHeight->setValue(ui->leCurrentHeight->text().toInt());
}

void CPSizePolicySettings::on_tbCopyToMaxWidth_clicked()
{
    ui->sbMaxWidth->setValue(ui->leCurrentWidth->text().toInt());
}

void CPSizePolicySettings::on_tbCopyToMaxHeight_clicked()
{
    ui->sbMaxHeight->setValue(ui->leCurrentHeight->text().toInt());
}

} // namespace HXCPControls
