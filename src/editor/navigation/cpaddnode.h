#pragma once

#include "editor/cpbasewidget.h"

#include <memory>

namespace Ui {
class CPAddNode;
}

namespace HXCPControls {

// The form that names a new category or page and says where it goes.
class HXCPCONTROLS_EXPORT CPAddNode : public CPBaseWidget
{
    Q_OBJECT
public:
    explicit CPAddNode(QWidget *parent = nullptr);
    ~CPAddNode() override;

    // Shows the choice between the selected node and the root.
    void setPlaceChoiceVisible(bool visible);

    bool addToRoot() const;
    bool isCategory() const;
    QString name() const;

    QString validateInput() override;

private:
    std::unique_ptr<Ui::CPAddNode> ui;
};

} // namespace HXCPControls
