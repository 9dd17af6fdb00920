#include "cpdetailtitlesetting.h"

#include "ui_cpdetailtitlesetting.h"

namespace HXCPControls {

CPDetailTitleSetting::CPDetailTitleSetting(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CPDetailTitleSetting)
{
    ui->setupUi(this);
}

CPDetailTitleSetting::~CPDetailTitleSetting() = default;

void CPDetailTitleSetting::setValues(bool show, const QString &text, const QString &align)
{
    ui->cbShowTitle->setChecked(show);
    ui->leTitle->setText(text);
    if (align == QLatin1String("left"))
        ui->rbLeft->setChecked(true);
    else if (align == QLatin1String("right"))
        ui->rbRight->setChecked(true);
    else
        ui->rbCenter->setChecked(true);
}

bool CPDetailTitleSetting::isShowTitle() const
{
    return ui->cbShowTitle->isChecked();
}

QString CPDetailTitleSetting::titleText() const
{
    return ui->leTitle->text();
}

QString CPDetailTitleSetting::alignment() const
{
    if (ui->rbLeft->isChecked())
        return QStringLiteral("left");
    if (ui->rbRight->isChecked())
        return QStringLiteral("right");
    return QStringLiteral("center");
}

} // namespace HXCPControls
