#include "hxtitlecfgwidget.h"

#include "ui_hxtitlecfgwidget.h"

#include <QSignalBlocker>

namespace HXCPControls {

HXTitleCfgWidget::HXTitleCfgWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::HXTitleCfgWidget)
{
    ui->setupUi(this);
    connect(ui->lineEdit, &QLineEdit::textChanged, this, &HXTitleCfgWidget::emitChanged);
    connect(ui->cbIsDisplayTitle, &QCheckBox::stateChanged, this, &HXTitleCfgWidget::emitChanged);
}

HXTitleCfgWidget::~HXTitleCfgWidget() = default;

void HXTitleCfgWidget::setValue(bool isShow, const QString &title)
{
    const QSignalBlocker blockText(ui->lineEdit);
    const QSignalBlocker blockCheck(ui->cbIsDisplayTitle);
    ui->lineEdit->setText(title);
    ui->cbIsDisplayTitle->setChecked(isShow);
}

bool HXTitleCfgWidget::isShowTitle() const
{
    return ui->cbIsDisplayTitle->isChecked();
}

QString HXTitleCfgWidget::title() const
{
    return ui->lineEdit->text();
}

void HXTitleCfgWidget::emitChanged()
{
    emit titleChanged(isShowTitle(), title());
    emit titleChanged(isShowTitle());
}

} // namespace HXCPControls
