#include "cpaddnode.h"

#include "ui_cpaddnode.h"

namespace HXCPControls {

CPAddNode::CPAddNode(QWidget *parent)
    : CPBaseWidget(parent, true, QStringLiteral("controls/custompage.css"))
    , ui(std::make_unique<Ui::CPAddNode>())
{
    ui->setupUi(this);
    setFocusProxy(ui->leName);
    ui->leName->setFocus();
}

CPAddNode::~CPAddNode() = default;

void CPAddNode::setPlaceChoiceVisible(bool visible)
{
    ui->placeWidget->setVisible(visible);
}

bool CPAddNode::addToRoot() const
{
    return ui->placeWidget->isVisibleTo(const_cast<CPAddNode *>(this)) && ui->rbRootNode->isChecked();
}

bool CPAddNode::isCategory() const
{
    return ui->rbCategory->isChecked();
}

QString CPAddNode::name() const
{
    return ui->leName->text();
}

QString CPAddNode::validateInput()
{
    if (ui->leName->text().trimmed().isEmpty())
        return QStringLiteral("名称不能为空");
    return QString();
}

} // namespace HXCPControls
