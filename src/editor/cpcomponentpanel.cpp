#include "cpcomponentpanel.h"

#include "ui_cpcomponentpanel.h"

namespace HXCPControls {

CPComponentPanel::CPComponentPanel(QWidget *parent, QWidget *content)
    : QWidget(parent)
    , ui(new Ui::CPComponentPanel)
    , m_content(content)
{
    ui->setupUi(this);
    ui->title_widget->hide();
    if (content)
        ui->main_layout->addWidget(content);
}

CPComponentPanel::~CPComponentPanel() = default;

void CPComponentPanel::setTitleBar(bool visible, const QString &title)
{
    if (!visible) {
        ui->title_widget->hide();
        return;
    }
    ui->title_label->setText(title.isEmpty() ? QStringLiteral("------") : title);
    ui->title_widget->show();
}

QWidget *CPComponentPanel::titleWidget() const
{
    return ui->title_widget;
}

QLabel *CPComponentPanel::titleLabel() const
{
    return ui->title_label;
}

} // namespace HXCPControls
