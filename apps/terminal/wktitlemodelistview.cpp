#include "wktitlemodelistview.h"

#include "pagelayout/cpcompositepanelservice.h"
#include "pagelayout/cpcustompage.h"
#include "wk/wkappconfig.h"
#include "wk/wkapplication.h"
#include "zhphostlog.h"

#include <QDebug>
#include <QJsonObject>
#include <QPointer>

namespace {
constexpr int kPadIdRole = Qt::UserRole + 1;

void collect(const QJsonArray &nodes, const QString &path, QVector<PageNode> &pages)
{
    for (const QJsonValue &value : nodes) {
        const QJsonObject node = value.toObject();
        const QString name = node.value(QLatin1String("NODE_NAME")).toString();
        const QString padId = node.value(QLatin1String("PAD_ID")).toString();
        if (node.value(QLatin1String("IS_PAD")).toBool() && !padId.isEmpty())
            pages.append({padId, name, path});
        const QJsonArray children = node.value(QLatin1String("CHILDREN")).toArray();
        if (!children.isEmpty())
            collect(children, path.isEmpty() ? name : path + QStringLiteral(" / ") + name, pages);
    }
}
} // namespace

QVector<PageNode> pageNodes(const QJsonArray &tree)
{
    QVector<PageNode> pages;
    collect(tree, QString(), pages);
    return pages;
}

WKTitleModeListView::WKTitleModeListView(QWidget *parent)
    : QListWidget(parent)
    , m_service(new HXCPControls::CPCompositePanelService)
{
    setObjectName(QStringLiteral("WKTitleModeListView"));
    setWindowTitle(QStringLiteral("页面列表"));
    setSpacing(2);
    connect(this, &QListWidget::itemClicked, this, &WKTitleModeListView::open);
    reload();
}

WKTitleModeListView::~WKTitleModeListView() = default;

void WKTitleModeListView::reload()
{
    showMessage(QStringLiteral("正在加载页面…"));
    QPointer<WKTitleModeListView> self(this);
    const QString product = WKAppConfig::instance()->getProuctId();
    m_service->getNodeData(product, [self, product](const HXDataApi::HttpJsonResult &result) {
        if (!self)
            return;
        if (!result.success) {
            qCWarning(lcHost).noquote() << "page list of product" << product << "failed:" << result.errorMsg;
            self->showMessage(QStringLiteral("页面列表加载失败"));
            return;
        }
        self->showPages(pageNodes(result.data.array()));
    });
}

void WKTitleModeListView::showMessage(const QString &text)
{
    clear();
    auto *item = new QListWidgetItem(text, this);
    item->setFlags(Qt::NoItemFlags);
}

void WKTitleModeListView::showPages(const QVector<PageNode> &pages)
{
    clear();
    if (pages.isEmpty()) {
        showMessage(QStringLiteral("当前产品没有页面"));
        return;
    }
    for (const PageNode &page : pages) {
        auto *item = new QListWidgetItem(page.name, this);
        item->setData(kPadIdRole, page.padId);
        item->setToolTip(page.path.isEmpty() ? page.name : page.path + QStringLiteral(" / ") + page.name);
    }
}

void WKTitleModeListView::open(QListWidgetItem *item)
{
    const QString padId = item ? item->data(kPadIdRole).toString() : QString();
    if (padId.isEmpty())
        return;
    const QString title = item->text();
    emit changePad(padId, title);
    QWidget *main = WKApplication::wkmainWindow();
    if (main && main->metaObject()->indexOfMethod("openPad(QString,QString)") >= 0) {
        // Queued: opening may replace the page this list sits in.
        QMetaObject::invokeMethod(main, "openPad", Qt::QueuedConnection, Q_ARG(QString, padId), Q_ARG(QString, title));
        return;
    }
    auto *page = new HXCPControls::CPCustomPage(nullptr, false);
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->setWindowTitle(title);
    page->resize(1100, 750);
    page->loadDataById(padId);
    page->show();
}
