#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QSet>

#include <memory>

class QLabel;
class QStackedWidget;
class QTabWidget;
class QToolButton;

namespace HXCPControls {
class CPCompositePanelService;
class CPCustomPage;
class CPSelectProductView;
class CPSelectUserPadCategoryView;
}

class PageEditorPane;

// Shows over the top of `page` why it could not be loaded, leaving the empty
// page below free to edit, and writes the reason to standard error.
void showPageLoadError(HXCPControls::CPCustomPage *page, const QString &reason);

// The terminal's main window. On the left, the user's page tree ("我的页面",
// read-only, with an "编辑" switch to the editable tree) and the product
// menu; on the right, the opened pages in tabs, or the editor while a page
// is being edited.
class TerminalWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TerminalWindow(QWidget *parent = nullptr);
    ~TerminalWindow() override;

    // Loads the user's tree and the product menu; with `openFirstPage` the
    // first page of the user's tree opens once the tree has arrived.
    void start(bool openFirstPage);
    // True once the user's tree has been asked for and answered (or failed).
    bool isStarted() const { return m_started; }

    // Opens a page in a tab of its own, or selects its tab when it is open.
    HXCPControls::CPCustomPage *openPad(const QString &padId, const QString &title, bool userMode);
    // Opens page content (JSON text) that is not stored on the server.
    HXCPControls::CPCustomPage *openContent(const QString &json, const QString &title);
    // Edits the current page; the editor returns to it after saving.
    void editCurrentPage();
    void editPad(const QString &padId, const QString &title, bool userMode);

    HXCPControls::CPCustomPage *currentPage() const;
    QTabWidget *pageTabs() const { return m_tabs; }
    HXCPControls::CPSelectUserPadCategoryView *userTree() const;
    HXCPControls::CPSelectProductView *productView() const { return m_productView; }
    QTabWidget *navigation() const { return m_nav; }
    QToolButton *treeEditSwitch() const { return m_editSwitch; }
    PageEditorPane *editor() const { return m_editor; }
    // Shows the editable user tree (true) or the read-only one.
    void setTreeEditable(bool editable);

public slots:
    // Opens a page of the current product's tree (the page list component asks for this).
    void openPad(const QString &padId, const QString &title) { openPad(padId, title, false); }
    // Opens a host URL: "view://analysis?title=...&product=..." opens the
    // product's analysis page in a tab.
    void openStringUrl(const QString &url);

signals:
    void started();
    // A page opened in a tab could not be loaded.
    void pageLoadFailed(const QString &reason);

private:
    // A page for a tab, showing why it could not be loaded when it cannot.
    HXCPControls::CPCustomPage *newPage();
    int tabOf(const QString &key) const;
    void addTab(QWidget *page, const QString &key, const QString &title);
    void closeTab(int index);
    void reloadTab(int index);
    void leaveEditor(const QString &padId, bool saved);
    void updateActions();
    // Selects the current tab's page in the read-only user tree.
    void showCurrentInTree();

    std::unique_ptr<HXCPControls::CPCompositePanelService> m_service;
    QTabWidget *m_nav;
    QStackedWidget *m_userTrees;
    HXCPControls::CPSelectUserPadCategoryView *m_userView;
    QPointer<HXCPControls::CPSelectUserPadCategoryView> m_userEdit;
    QToolButton *m_editSwitch;
    HXCPControls::CPSelectProductView *m_productView;
    QStackedWidget *m_work;
    QTabWidget *m_tabs;
    PageEditorPane *m_editor;
    QLabel *m_status;
    QAction *m_editAction;
    QAction *m_reloadAction;
    QSet<QString> m_userPads;
    bool m_started = false;
};
