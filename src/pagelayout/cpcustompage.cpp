#include "cpcustompage.h"

#include "common/logging.h"
#include "cpcompositepanelservice.h"
#include "cpsplititem.h"
#include "cpsplitview.h"
#include "pagecontent.h"
#include "wk/wkcore.h"

#include <QElapsedTimer>
#include <QGridLayout>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QStyleOption>

namespace HXCPControls {

CPCustomPage::CPCustomPage(QWidget *parent, bool embedded)
    : QFrame(parent)
    , mPageService(new CPCompositePanelService)
    , m_layout(new QGridLayout(this))
{
    setObjectName(QStringLiteral("CPCustomPage"));
    setWindowTitle(QStringLiteral("CPCustomPage"));
    resize(300, 300);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(0);
    setSizePolicy(policy);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    m_layout->setObjectName(QStringLiteral("gridLayout_2"));
    m_layout->setSpacing(1);
    m_layout->setContentsMargins(1, 1, 1, 1);
    setProperty("zhpObj", QVariant::fromValue<QWidget *>(this));

    if (!embedded)
        WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage.css"));

    initSplitView(QVariantMap());
    pushMode();
}

CPCustomPage::~CPCustomPage()
{
    delete mPageService;
}

CPSplitView *CPCustomPage::splitView() const
{
    return m_splitView;
}

QVariantMap CPCustomPage::convert2Content(const QString &json, QString *error)
{
    PageContent::Result result = PageContent::parse(json.toUtf8());
    if (error)
        *error = result.error;
    return result.content;
}

// Content is checked before any widget is built: refused content is logged
// and the page lays out empty.
void CPCustomPage::loadChecked(const QVariantMap &map, const QString &error)
{
    m_loadError = error;
    if (error.isEmpty()) {
        loadPageData(map);
        return;
    }
    qCWarning(lcPageLayout).noquote() << QStringLiteral("page content refused: %1").arg(error);
    loadPageData(QVariantMap());
    emit signalLoadFailed(error);
}

void CPCustomPage::loadDataById(const QString &id)
{
    if (!m_padID.isEmpty() && m_padID == id)
        return;
    m_padID.clear();
    qCDebug(lcPageLayout).noquote() << "page" << id << "requested";
    mPageService->getPageById(id, [this, id](const HXDataApi::HttpJsonResult &result) {
        if (!result.success) {
            messageError(QStringLiteral("mPageService.getPageById(%1) error: %2").arg(id, result.errorMsg));
            m_loadError = result.errorMsg;
            emit signalLoadFailed(m_loadError);
            QMetaObject::invokeMethod(this, "loadPageData", Qt::AutoConnection, Q_ARG(QVariantMap, QVariantMap()));
            return;
        }
        m_padID = id;
        QString error;
        const QVariantMap map = convert2Content(result.data.object().value(QLatin1String("padCont")).toString(), &error);
        QMetaObject::invokeMethod(this, "loadChecked", Qt::AutoConnection, Q_ARG(QVariantMap, map), Q_ARG(QString, error));
    });
}

void CPCustomPage::loadDataByContent(const QString &json)
{
    m_padID.clear();
    QString error;
    const QVariantMap map = convert2Content(json, &error);
    loadChecked(map, error);
}

void CPCustomPage::loadDataByMap(const QVariantMap &map)
{
    m_padID.clear();
    loadChecked(map, PageContent::check(map));
}

void CPCustomPage::loadPageData(const QVariantMap &map)
{
    QElapsedTimer elapsed;
    elapsed.start();
    initSplitView(map);
    if (!map.isEmpty())
        m_splitView->restore(map);
    pushMode();
    qCDebug(lcPageLayout).noquote() << "page" << (m_padID.isEmpty() ? QStringLiteral("(content)") : m_padID)
                                    << "laid out in" << elapsed.elapsed() << "ms";
}

void CPCustomPage::pushMode()
{
    m_splitView->setEditModel(!m_readOnly);
    m_splitView->pushDownModes();
}

QVariantMap CPCustomPage::getContent()
{
    QVariantMap map;
    m_splitView->save(map);
    map.insert(QStringLiteral("height"), m_height);
    return map;
}

void CPCustomPage::editable(bool e)
{
    m_readOnly = !e;
    pushMode();
}

void CPCustomPage::updateView()
{
    pushMode();
}

void CPCustomPage::setResponsiveHeight(int h)
{
    const bool wasFixed = m_height >= 1;
    const bool fixed = h >= 1;
    if (!wasFixed && !fixed)
        return;
    if (wasFixed && fixed) {
        m_height = h;
        m_splitView->setMinimumHeight(h);
        m_splitView->setMaximumHeight(h);
        return;
    }
    m_height = h;
    const QVariantMap content = getContent();
    layoutView();
    if (!content.isEmpty())
        m_splitView->restore(content);
    pushMode();
}

void CPCustomPage::initSplitView(const QVariantMap &map)
{
    const QVariant padID = map.value(QStringLiteral("padID"));
    if (m_padID.isEmpty() && padID.isValid() && !padID.isNull())
        m_padID = padID.toString();
    initHeight(map);
    layoutView();
}

void CPCustomPage::initHeight(const QVariantMap &map)
{
    const QVariant height = map.value(QStringLiteral("height"));
    m_height = height.isValid() && height.toInt() >= 1 ? height.toInt() : -1;
    emit initResponsiveHeight(m_height);
}

void CPCustomPage::layoutView()
{
    if (m_top) {
        m_layout->removeWidget(m_top);
        m_top->hide();
        m_top->deleteLater();
    }

    CPSplitView *view = nullptr;
    if (m_height >= 1) {
        auto *scroll = new QScrollArea(this);
        scroll->viewport()->installEventFilter(this);
        view = new CPSplitView(scroll);
        view->setMinimumSize(0, m_height);
        view->setMaximumSize(QWIDGETSIZE_MAX, m_height);
        view->setRootItem(new CPSplitItem(view));
        scroll->setWidget(view);
        scroll->setWidgetResizable(true);
        m_top = scroll;
    } else {
        view = new CPSplitView(this);
        view->setMinimumSize(0, 0);
        view->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        view->setRootItem(new CPSplitItem(view));
        m_top = view;
    }
    m_splitView = view;
    connect(view, &CPSplitView::editModelChanged, this, &CPCustomPage::signalEditModelChanged);
    m_layout->addWidget(m_top, 0, 0);
    if (!m_padID.isEmpty())
        view->setPadID(m_padID);
}

void CPCustomPage::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void CPCustomPage::messageError(const QString &msg)
{
    qCWarning(lcPageLayout).noquote() << msg;
    QMetaObject::invokeMethod(this, "invokeMessageError", Qt::AutoConnection, Q_ARG(QString, msg));
}

void CPCustomPage::invokeMessageError(const QString &msg)
{
    QMessageBox::critical(this, QStringLiteral("错误"), msg, QMessageBox::Ok);
}

void CPCustomPage::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

bool CPCustomPage::eventFilter(QObject *watched, QEvent *event)
{
    return QFrame::eventFilter(watched, event);
}

} // namespace HXCPControls
