#pragma once

#include "editor/workspace/cpmanagepageview.h"
#include "pagelayout/cpcustompage.h"

#include <QPointer>
#include <QWidget>

class QLabel;

// Edits one page of the server in the editor workspace (toolbar, page,
// palette) under a bar with the page's title and "返回". The workspace saves
// to the page's tree, the user's or the product's; once it has saved (or
// "返回" is pressed) the pane reports that the editor is done.
class PageEditorPane : public QWidget
{
    Q_OBJECT
public:
    explicit PageEditorPane(QWidget *parent = nullptr);
    ~PageEditorPane() override;

    void open(const QString &padId, const QString &title, bool userMode);
    QString padId() const { return m_padId; }
    HXCPControls::CPManagePageView *workspace() const { return m_workspace; }
    // The page being edited.
    HXCPControls::CPCustomPage *page() const { return m_workspace ? m_workspace->page() : nullptr; }

signals:
    // The editor is done with `padId`; `saved` when the workspace saved it.
    void finished(QString padId, bool saved);

private:
    QPointer<HXCPControls::CPManagePageView> m_workspace;
    QLabel *m_title;
    QString m_padId;
};
