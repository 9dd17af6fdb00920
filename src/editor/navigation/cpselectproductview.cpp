#include "cpselectproductview.h"

#include "cpleftmenubar.h"
#include "cppagecategory.h"
#include "cppagecategoryedit.h"
#include "cppopupmenudialog.h"
#include "indexdata/cpproductservice.h"
#include "wk/wkapplication.h"
#include "wk/wkcore.h"

#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

namespace HXCPControls {

namespace {
// Hover delays: opening waits a little so that a cursor passing over the bar
// opens nothing; closing waits a little longer so that the cursor can reach
// the popup; leaving the popup waits longest.
const int kOpenDelayMs = 100;
const int kCloseDelayMs = 105;
const int kLeaveDelayMs = 500;
}

CPSelectProductView::CPSelectProductView(QWidget *parent, bool editable, bool embedded)
    : QWidget(parent)
    , m_editable(editable)
    , m_menuBar(new CPLeftMenuBar(nullptr))
    , m_productService(std::make_unique<CPProductService>())
{
    setObjectName(QStringLiteral("pick_pad_view"));
    m_popup = new CPPopupMenuDialog(getTopWidget(parent), embedded);
    if (editable) {
        m_edit = new CPPageCategoryEdit(this, true, false);
        m_edit->setObjectName(QStringLiteral("screen_category_edit"));
        connect(m_edit, &CPPageCategoryEdit::changePad, this, &CPSelectProductView::changePad);
        m_category = m_edit;
    } else {
        m_view = new CPPageCategory(this, false);
        m_view->setObjectName(QStringLiteral("screen_category"));
        connect(m_view, &CPPageCategory::changePad, this, &CPSelectProductView::changePad);
        m_category = m_view;
    }
    m_popup->setAttribute(Qt::WA_Hover);
    m_popup->installEventFilter(this);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *menuFrame = new QFrame(this);
    menuFrame->setObjectName(QStringLiteral("left_menu_frame"));
    auto *menuLayout = new QVBoxLayout(menuFrame);
    menuLayout->setContentsMargins(0, 0, 0, 0);
    menuLayout->addWidget(m_menuBar);
    auto *pageFrame = new QFrame(this);
    pageFrame->setObjectName(QStringLiteral("left_page_frame"));
    auto *pageLayout = new QVBoxLayout(pageFrame);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(m_category);
    layout->addWidget(menuFrame);
    layout->addWidget(pageFrame, 1);

    connect(m_menuBar, &CPLeftMenuBar::switchPopMenu, this, &CPSelectProductView::switchPopMenu);
    connect(m_menuBar, &CPLeftMenuBar::closePopMenu, this, &CPSelectProductView::closePopMenu);
    connect(m_popup.data(), &CPPopupMenuDialog::switchProd, this, &CPSelectProductView::switchProd);
    if (!embedded)
        WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage.css"));
}

CPSelectProductView::~CPSelectProductView()
{
    // The popup belongs to the top window, which may outlive the view.
    delete m_popup;
}

QWidget *CPSelectProductView::getTopWidget(QWidget *widget)
{
    while (widget && widget->parentWidget())
        widget = widget->parentWidget();
    return widget;
}

void CPSelectProductView::loadData(const QString &productCode, const QString &padId)
{
    QPointer<CPSelectProductView> self(this);
    m_productService->getProductTree(productCode, [self, padId](const QJsonObject &product, const QList<QVariantMap> &list) {
        if (self)
            QMetaObject::invokeMethod(self, "loadMenuData", Qt::AutoConnection, Q_ARG(QJsonObject, product),
                                      Q_ARG(QString, padId), Q_ARG(QList<QVariantMap>, list));
    });
}

void CPSelectProductView::loadMenuData(QJsonObject product, QString padId, QList<QVariantMap> list)
{
    if (list != m_list) {
        m_list = list;
        m_menuBar->setCategories(list);
        m_popup->setCategories(list);
    }
    if (product.isEmpty())
        return;
    if (m_edit)
        m_edit->setProduct(product, padId);
    else
        m_view->setProduct(product, padId);
}

void CPSelectProductView::switchPopMenu(int index)
{
    QTimer::singleShot(kOpenDelayMs, this, [this, index] {
        if (m_popup->isVisible() && cursorInPopupMenuDialog())
            return;
        m_currentIndex = index;
        m_menuBar->setSelected(index);
        m_menuHovered = true;
        m_popup->move(m_category->mapToGlobal(QPoint(0, 0)));
        m_popup->setMinimumWidth(200);
        m_popup->setFixedHeight(m_menuBar->height());
        m_popup->setCurrentPage(index);
        m_popup->show();
    });
}

void CPSelectProductView::closePopMenu(int index)
{
    QTimer::singleShot(kCloseDelayMs, this, [this, index] {
        if (index != m_currentIndex)
            return;
        m_menuHovered = false;
        if (m_popup->isVisible() && cursorInPopupMenuDialog()) {
            m_currentIndex = -1;
            return;
        }
        hidePopup();
    });
}

void CPSelectProductView::hidePopup()
{
    if (m_popup->isVisible())
        m_popup->close();
    m_menuBar->clearSelection();
    m_currentIndex = -1;
}

bool CPSelectProductView::cursorInPopupMenuDialog()
{
    return QRect(m_popup->mapToGlobal(QPoint(0, 0)), m_popup->size()).contains(QCursor::pos());
}

bool CPSelectProductView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_popup && event->type() == QEvent::HoverLeave) {
        QTimer::singleShot(kLeaveDelayMs, this, [this] {
            if (!m_menuHovered && !cursorInPopupMenuDialog())
                hidePopup();
        });
    }
    return QWidget::eventFilter(watched, event);
}

QString CPSelectProductView::analysisUrl(const QJsonObject &product)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("title"),
                       product.value(QStringLiteral("PRODUCT_NAME")).toString() + QStringLiteral("-分析页面"));
    query.addQueryItem(QStringLiteral("product"), product.value(QStringLiteral("PRODUCT_CODE")).toVariant().toString());
    QUrl url;
    url.setScheme(QStringLiteral("view"));
    url.setHost(QStringLiteral("analysis"));
    url.setQuery(query);
    return url.toString();
}

void CPSelectProductView::switchProd(const QJsonObject &product)
{
    hidePopup();
    if (m_edit) {
        m_edit->setProduct(product, QString());
        return;
    }
    InvokerBase::invoke(WKApplication::wkmainWindow(), "openStringUrl", analysisUrl(product));
}

void CPSelectProductView::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void CPSelectProductView::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

} // namespace HXCPControls
