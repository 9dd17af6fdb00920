#include "editorwindow.h"

#include "editor/workspace/cpmanagepageview.h"
#include "pagelayout/cpcompositepanelservice.h"
#include "wk/wkappconfig.h"
#include "wktitlemodelistview.h"
#include "zhphostlog.h"

#include <QDebug>
#include <QPointer>

namespace {
// The name of page `padId` in a tree answer; empty when the tree does not hold it.
QString nameIn(const HXDataApi::HttpJsonResult &tree, const QString &padId, bool *found)
{
    for (const PageNode &node : pageNodes(tree.data.array())) {
        if (node.padId == padId) {
            *found = true;
            return node.name;
        }
    }
    *found = false;
    return QString();
}
} // namespace

EditorWindow::EditorWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_workspace(new HXCPControls::CPManagePageView(this, false))
    , m_service(new HXCPControls::CPCompositePanelService)
{
    setObjectName(QStringLiteral("EditorWindow"));
    setWindowTitle(QStringLiteral("综合屏编辑"));
    setCentralWidget(m_workspace);
    resize(1280, 800);
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::edit(const QString &padId)
{
    QPointer<EditorWindow> self(this);
    m_service->getUserData([self, padId](const HXDataApi::HttpJsonResult &user) {
        if (!self)
            return;
        bool found = false;
        const QString name = user.success ? nameIn(user, padId, &found) : QString();
        if (!user.success)
            qCWarning(lcHost).noquote() << "user page tree failed:" << user.errorMsg;
        if (found) {
            self->open(true, padId, name);
            return;
        }
        const QString product = WKAppConfig::instance()->getProuctId();
        self->m_service->getNodeData(product, [self, padId](const HXDataApi::HttpJsonResult &tree) {
            if (!self)
                return;
            bool inProduct = false;
            const QString title = tree.success ? nameIn(tree, padId, &inProduct) : QString();
            self->open(false, padId, inProduct ? title : padId);
        });
    });
}

void EditorWindow::open(bool userMode, const QString &padId, const QString &title)
{
    m_workspace->setUserMode(userMode);
    m_workspace->loadData(padId, title);
    setWindowTitle(QStringLiteral("综合屏编辑 - %1").arg(title));
}
