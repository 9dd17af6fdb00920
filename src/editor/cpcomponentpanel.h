#pragma once

#include "common/hxcpcontrols_global.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CPComponentPanel;
}
class QAction;
class QLabel;

namespace HXCPControls {

// The frame of a page component: an optional one-line title above the
// component's content. The title starts hidden; components show it when they
// restore a configuration that asks for it.
class HXCPCONTROLS_EXPORT CPComponentPanel : public QWidget
{
    Q_OBJECT
public:
    CPComponentPanel(QWidget *parent, QWidget *content);
    ~CPComponentPanel() override;

    // Shows the title bar with `title` ("------" when empty), or hides it.
    void setTitleBar(bool visible, const QString &title = QString());

    QWidget *content() const { return m_content; }

    // Frames `content` in a panel that fills `component` edge to edge.
    static CPComponentPanel *fill(QWidget *component, QWidget *content);

    // Gives a page component its "设置" action (Ctrl+P): the shortcut reaches
    // the component that has the focus, however many a page holds, and a click
    // anywhere in the component gives it the focus.
    static QAction *addSettingAction(QWidget *component);
    QWidget *titleWidget() const;
    QLabel *titleLabel() const;

private:
    std::unique_ptr<Ui::CPComponentPanel> ui;
    QWidget *m_content;
};

} // namespace HXCPControls
