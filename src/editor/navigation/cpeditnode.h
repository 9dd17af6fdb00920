#pragma once

#include "editor/cpbasewidget.h"

#include <memory>

namespace Ui {
class CPEditNode;
}

namespace HXCPControls {

// The form that renames a node.
class HXCPCONTROLS_EXPORT CPEditNode : public CPBaseWidget
{
    Q_OBJECT
public:
    explicit CPEditNode(const QString &name, QWidget *parent = nullptr);
    ~CPEditNode() override;

    QString name() const;

private:
    std::unique_ptr<Ui::CPEditNode> ui;
};

} // namespace HXCPControls
