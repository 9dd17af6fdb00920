#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QVariantMap>
#include <QWidget>

#include <memory>

namespace Ui {
class CPManagePageView;
}

namespace HXCPControls {

class CPCompositePanelService;
class CPControlTreeWidget;
class CPCustomPage;
class CPToolBarView;

// The editor workspace: a toolbar over a custom page in edit mode, with the
// component palette on the right. The toolbar previews the page, gives it a
// fixed or responsive height and saves it to the server: to the user's page
// tree in user mode, to the product's tree otherwise.
//
// A host shows it as a page of its own or embeds it, loads a page with
// loadData() and listens to save(content), which comes after every save,
// successful or not.
class HXCPCONTROLS_EXPORT CPManagePageView : public QWidget, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    explicit CPManagePageView(QWidget *parent = nullptr, bool userMode = false);
    ~CPManagePageView() override;

    // Loads the page `padId` from the server for editing and shows the workspace.
    void loadData(const QString &padId, const QString &title);
    // Loads content that has no page on the server yet (its "padID", when it
    // carries one, becomes the page saved to) and shows the workspace.
    void loadContent(const QVariantMap &content, const QString &title);

    bool userMode() const { return m_userMode; }
    // Which tree a save goes to; for a host that reuses one workspace for both.
    void setUserMode(bool userMode) { m_userMode = userMode; }
    QString padId() const { return m_padId; }

    CPToolBarView *toolBar() const { return m_toolBar; }
    CPCustomPage *page() const { return m_page; }
    CPControlTreeWidget *palette() const { return m_palette; }

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

    // Logs `msg` and shows it in a critical message box titled "错误".
    void messageError(const QString &msg);

signals:
    void save(const QVariantMap &content);

private slots:
    void invokeMessageError(const QString &msg);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void saveContent();
    void showParts();

    std::unique_ptr<Ui::CPManagePageView> ui;
    bool m_userMode;
    QString m_padId;
    CPToolBarView *m_toolBar;
    CPCustomPage *m_page;
    CPControlTreeWidget *m_palette;
    std::unique_ptr<CPCompositePanelService> m_service;
};

} // namespace HXCPControls
