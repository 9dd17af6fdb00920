#pragma once

#include <QMainWindow>

#include <memory>

namespace HXCPControls {
class CPCompositePanelService;
class CPManagePageView;
}

// The terminal's editing window: one page in the editor workspace.
class EditorWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit EditorWindow(QWidget *parent = nullptr);
    ~EditorWindow() override;

    HXCPControls::CPManagePageView *workspace() const { return m_workspace; }

    // Opens the page `padId` for editing: in user mode when it belongs to the
    // configured user's tree, in product mode otherwise, titled by its node.
    void edit(const QString &padId);

private:
    void open(bool userMode, const QString &padId, const QString &title);

    HXCPControls::CPManagePageView *m_workspace;
    std::unique_ptr<HXCPControls::CPCompositePanelService> m_service;
};
