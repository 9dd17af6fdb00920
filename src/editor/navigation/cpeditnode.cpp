#include "cpeditnode.h"

#include "ui_cpeditnode.h"

namespace HXCPControls {

CPEditNode::CPEditNode(const QString &name, QWidget *parent)
    : CPBaseWidget(parent, true, QStringLiteral("controls/custompage.css"))
    , ui(std::make_unique<Ui::CPEditNode>())
{
    ui->setupUi(this);
    ui->leName->setText(name);
    setFocusProxy(ui->leName);
}

CPEditNode::~CPEditNode() = default;

QString CPEditNode::name() const
{
    return ui->leName->text();
}

} // namespace HXCPControls
