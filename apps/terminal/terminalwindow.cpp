#include "terminalwindow.h"

#include "analysispage.h"
#include "pageeditorpane.h"

#include "editor/navigation/categorynode.h"
#include "editor/navigation/cppagecategory.h"
#include "editor/navigation/cppagecategoryedit.h"
#include "editor/navigation/cpselectproductview.h"
#include "editor/navigation/cpselectuserpadcategoryview.h"
#include "pagelayout/cpcompositepanelservice.h"
#include "hxecharts/hxechartsview.h"
#include "pagelayout/cpcustompage.h"
#include "wk/wkappconfig.h"

#include <QAction>
#include <QGridLayout>
#include <QJsonArray>
#include <QLabel>
#include <QPointer>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QRegularExpression>
#include <QUrlQuery>

#include <cstdio>

using namespace HXCPControls;

namespace {
const char *const kKey = "tabKey";
const char *const kTitle = "tabTitle";
const char *const kUserMode = "userMode";

QString padKey(const QString &padId)
{
    return QStringLiteral("pad:") + padId;
}

// The stored page a tab shows; empty for other tabs.
QString padIdOf(const QWidget *tab)
{
    const QString key = tab ? tab->property(kKey).toString() : QString();
    return key.startsWith(QLatin1String("pad:")) ? key.mid(4) : QString();
}
} // namespace

void showPageLoadError(CPCustomPage *page, const QString &reason)
{
    auto *label = page->findChild<QLabel *>(QStringLiteral("loadError"), Qt::FindDirectChildrenOnly);
    if (!label) {
        label = new QLabel(page);
        label->setObjectName(QStringLiteral("loadError"));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setStyleSheet(QStringLiteral("color: rgb(190, 40, 40); font-size: 16px; padding: 60px 40px;"));
        if (auto *grid = qobject_cast<QGridLayout *>(page->layout()))
            grid->addWidget(label, 0, 0);
    }
    label->setText(QStringLiteral("页面无法打开\n\n%1").arg(reason));
    label->raise();
    label->show();
    std::fprintf(stderr, "zhp-terminal: the page could not be loaded: %s\n", qPrintable(reason));
}

TerminalWindow::TerminalWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_service(std::make_unique<CPCompositePanelService>())
{
    setObjectName(QStringLiteral("TerminalWindow"));
    setWindowTitle(QStringLiteral("综合屏"));

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("mainSplitter"));
    splitter->setChildrenCollapsible(false);

    m_nav = new QTabWidget(splitter);
    m_nav->setObjectName(QStringLiteral("navigation"));
    m_nav->setDocumentMode(true);
    m_userTrees = new QStackedWidget(m_nav);
    m_userView = new CPSelectUserPadCategoryView(m_userTrees, false, false);
    m_userTrees->addWidget(m_userView);
    m_nav->addTab(m_userTrees, QStringLiteral("我的页面"));
    m_productView = new CPSelectProductView(m_nav, false, false);
    m_nav->addTab(m_productView, QStringLiteral("产品"));
    m_editSwitch = new QToolButton(m_nav);
    m_editSwitch->setObjectName(QStringLiteral("treeEditSwitch"));
    m_editSwitch->setText(QStringLiteral("编辑"));
    m_editSwitch->setToolTip(QStringLiteral("在可编辑的页面树中添加、重命名、移动和删除页面"));
    m_editSwitch->setCheckable(true);
    m_nav->setCornerWidget(m_editSwitch, Qt::TopRightCorner);
    connect(m_editSwitch, &QToolButton::toggled, this, &TerminalWindow::setTreeEditable);
    connect(m_nav, &QTabWidget::currentChanged, this, [this](int index) { m_editSwitch->setVisible(index == 0); });

    m_work = new QStackedWidget(splitter);
    m_tabs = new QTabWidget(m_work);
    m_tabs->setObjectName(QStringLiteral("pageTabs"));
    m_tabs->setTabsClosable(true);
    m_tabs->setMovable(true);
    m_tabs->setDocumentMode(true);
    m_work->addWidget(m_tabs);
    m_editor = new PageEditorPane(m_work);
    m_work->addWidget(m_editor);
    splitter->addWidget(m_nav);
    splitter->addWidget(m_work);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({400, 880});
    setCentralWidget(splitter);

    auto *tools = addToolBar(QStringLiteral("页面"));
    tools->setObjectName(QStringLiteral("pageToolBar"));
    tools->setMovable(false);
    m_editAction = tools->addAction(QStringLiteral("编辑页面"), this, &TerminalWindow::editCurrentPage);
    m_editAction->setObjectName(QStringLiteral("editPageAction"));
    m_reloadAction = tools->addAction(QStringLiteral("刷新页面"), this, [this] { reloadTab(m_tabs->currentIndex()); });
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);

    connect(m_userView, &CPSelectUserPadCategoryView::changePad, this,
            [this](const QString &padId, const QString &title) { openPad(padId, title, true); });
    connect(m_productView, &CPSelectProductView::changePad, this,
            [this](const QString &padId, const QString &title) { openPad(padId, title, false); });
    connect(m_tabs, &QTabWidget::tabCloseRequested, this, &TerminalWindow::closeTab);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TerminalWindow::updateActions);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TerminalWindow::showCurrentInTree);
    connect(m_editor, &PageEditorPane::finished, this, &TerminalWindow::leaveEditor);
    updateActions();
    resize(1280, 800);
}

TerminalWindow::~TerminalWindow() = default;

void TerminalWindow::start(bool openFirstPage)
{
    const WKUserInfo user = WKAppConfig::instance()->getUserInfo();
    m_status->setText(QStringLiteral("用户：%1  产品：%2").arg(user.userId,
                                                           WKAppConfig::instance()->getProuctId()));
    m_userView->loadData(QString());
    m_productView->loadData(WKAppConfig::instance()->getProuctId(), QString());
    HXEcharts::HXEChartsView::preparePages();

    QPointer<TerminalWindow> self(this);
    m_service->getUserData([self, openFirstPage](const HXDataApi::HttpJsonResult &result) {
        if (!self)
            return;
        const QJsonArray records = result.data.array();
        // Pages of the user's tree are saved to it; every other page to its product's tree.
        std::function<void(const QJsonArray &)> collect = [&](const QJsonArray &nodes) {
            for (const QJsonValue &v : nodes) {
                const QJsonObject node = v.toObject();
                if (node.value(QStringLiteral("IS_PAD")).toBool())
                    self->m_userPads.insert(node.value(QStringLiteral("PAD_ID")).toString());
                collect(node.value(QStringLiteral("CHILDREN")).toArray());
            }
        };
        collect(records);
        const QVariantMap first = CategoryNode::firstPage(records);
        if (openFirstPage && !first.isEmpty())
            self->openPad(first.value(QStringLiteral("PAD_ID")).toString(),
                          QStringLiteral("我的页面-") + first.value(QStringLiteral("NODE_NAME")).toString(), true);
        self->m_started = true;
        emit self->started();
    });
}

CPSelectUserPadCategoryView *TerminalWindow::userTree() const
{
    return m_userEdit && m_userTrees->currentWidget() == m_userEdit ? m_userEdit.data() : m_userView;
}

void TerminalWindow::setTreeEditable(bool editable)
{
    if (editable && !m_userEdit) {
        m_userEdit = new CPSelectUserPadCategoryView(m_userTrees, true, false);
        m_userTrees->addWidget(m_userEdit);
        connect(m_userEdit, &CPSelectUserPadCategoryView::changePad, this,
                [this](const QString &padId, const QString &title) { openPad(padId, title, true); });
    }
    if (m_editSwitch->isChecked() != editable)
        m_editSwitch->setChecked(editable);
    if (editable) {
        // The editable tree starts from the server's state, marking the current page.
        CPCustomPage *page = currentPage();
        m_userEdit->categoryEdit()->setCurrentPadId(page ? page->padID() : QString());
        m_userEdit->categoryEdit()->loadUserData(false);
        m_userTrees->setCurrentWidget(m_userEdit);
    } else {
        // Back to the read-only view, which shows what the editing changed.
        m_userView->loadData(QString());
        m_userTrees->setCurrentWidget(m_userView);
    }
}

CPCustomPage *TerminalWindow::newPage()
{
    auto *page = new CPCustomPage(m_tabs, true);
    connect(page, &CPCustomPage::signalLoadFailed, this, [this, page](const QString &reason) {
        showPageLoadError(page, reason);
        emit pageLoadFailed(reason);
    });
    return page;
}

int TerminalWindow::tabOf(const QString &key) const
{
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->widget(i)->property(kKey).toString() == key)
            return i;
    }
    return -1;
}

void TerminalWindow::addTab(QWidget *page, const QString &key, const QString &title)
{
    page->setProperty(kKey, key);
    page->setProperty(kTitle, title);
    const int index = m_tabs->addTab(page, title);
    m_tabs->setTabToolTip(index, title);
    m_tabs->setCurrentIndex(index);
}

CPCustomPage *TerminalWindow::openPad(const QString &padId, const QString &title, bool userMode)
{
    if (padId.isEmpty())
        return nullptr;
    m_work->setCurrentWidget(m_tabs);
    const int open = tabOf(padKey(padId));
    if (open >= 0) {
        m_tabs->setCurrentIndex(open);
        return qobject_cast<CPCustomPage *>(m_tabs->widget(open));
    }
    CPCustomPage *page = newPage();
    page->setProperty(kUserMode, userMode || m_userPads.contains(padId));
    addTab(page, padKey(padId), title.isEmpty() ? padId : title);
    page->loadDataById(padId);
    return page;
}

CPCustomPage *TerminalWindow::openContent(const QString &json, const QString &title)
{
    CPCustomPage *page = newPage();
    addTab(page, QStringLiteral("content:%1").arg(m_tabs->count()), title);
    page->loadDataByContent(json);
    return page;
}

CPCustomPage *TerminalWindow::currentPage() const
{
    return qobject_cast<CPCustomPage *>(m_tabs->currentWidget());
}

void TerminalWindow::closeTab(int index)
{
    QWidget *page = m_tabs->widget(index);
    m_tabs->removeTab(index);
    delete page;
}

void TerminalWindow::updateActions()
{
    CPCustomPage *page = currentPage();
    const bool stored = page && !page->property(kKey).toString().startsWith(QLatin1String("content:"));
    m_editAction->setEnabled(stored);
    m_reloadAction->setEnabled(stored);
}

void TerminalWindow::showCurrentInTree()
{
    m_userView->categoryView()->showCurrentPad(padIdOf(m_tabs->currentWidget()));
}

void TerminalWindow::editCurrentPage()
{
    CPCustomPage *page = currentPage();
    const QString padId = padIdOf(page);
    if (!padId.isEmpty())
        editPad(padId, page->property(kTitle).toString(), page->property(kUserMode).toBool());
}

void TerminalWindow::editPad(const QString &padId, const QString &title, bool userMode)
{
    m_editor->open(padId, title, userMode || m_userPads.contains(padId));
    m_work->setCurrentWidget(m_editor);
}

void TerminalWindow::leaveEditor(const QString &padId, bool saved)
{
    m_work->setCurrentWidget(m_tabs);
    const int index = tabOf(padKey(padId));
    if (index < 0)
        return;
    m_tabs->setCurrentIndex(index);
    if (saved)
        reloadTab(index);
}

void TerminalWindow::reloadTab(int index)
{
    auto *old = qobject_cast<CPCustomPage *>(m_tabs->widget(index));
    const QString padId = padIdOf(old);
    if (padId.isEmpty())
        return;
    // A page shows what it loaded once; a fresh one reads the stored content again.
    CPCustomPage *page = newPage();
    for (const char *name : {kKey, kTitle, kUserMode})
        page->setProperty(name, old->property(name));
    const bool current = m_tabs->currentIndex() == index;
    m_tabs->insertTab(index, page, m_tabs->tabText(index));
    m_tabs->setTabToolTip(index, m_tabs->tabToolTip(index + 1));
    m_tabs->removeTab(index + 1);
    delete old;
    if (current)
        m_tabs->setCurrentIndex(index);
    page->loadDataById(padId);
}

void TerminalWindow::openStringUrl(const QString &url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QUrlQuery query(parsed);
    if (parsed.scheme() != QLatin1String("view") || parsed.host() != QLatin1String("analysis")
        || query.queryItemValue(QStringLiteral("product")).isEmpty()) {
        m_status->setText(QStringLiteral("无法打开：%1").arg(url));
        return;
    }
    const QString title = query.queryItemValue(QStringLiteral("title"), QUrl::FullyDecoded);
    const QString code = query.queryItemValue(QStringLiteral("product"), QUrl::FullyDecoded);
    const QString key = QStringLiteral("analysis:") + code;
    m_work->setCurrentWidget(m_tabs);
    if (const int open = tabOf(key); open >= 0) {
        m_tabs->setCurrentIndex(open);
        return;
    }
    QString name = title;
    name.remove(QRegularExpression(QStringLiteral("-分析页面$")));
    addTab(new AnalysisPage(QJsonObject{{QStringLiteral("PRODUCT_CODE"), code}, {QStringLiteral("PRODUCT_NAME"), name}},
                            m_tabs),
           key, title);
}
