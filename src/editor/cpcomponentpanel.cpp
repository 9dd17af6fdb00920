#include "cpcomponentpanel.h"

#include "ui_cpcomponentpanel.h"

#include <QAction>
#include <QHBoxLayout>

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

CPComponentPanel *CPComponentPanel::fill(QWidget *component, QWidget *content)
{
    auto *panel = new CPComponentPanel(component, content);
    auto *layout = new QHBoxLayout(component);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
    return panel;
}

QAction *CPComponentPanel::addSettingAction(QWidget *component)
{
    auto *action = new QAction(QStringLiteral("设置"), component);
    action->setShortcut(QKeySequence(QStringLiteral("Ctrl+p")));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    component->setFocusPolicy(Qt::ClickFocus);
    component->addAction(action);
    return action;
}

} // namespace HXCPControls
