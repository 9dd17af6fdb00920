#include "cppopupmenudialog.h"

#include "common/logging.h"
#include "cpproductioncategory.h"
#include "editor/cpbasewidget.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStackedWidget>

namespace HXCPControls {

namespace {
// How close to the right edge (in pixels, inside) the cursor resizes.
const int kEdgeWidth = 2;
}

CPPopupMenuDialog::CPPopupMenuDialog(QWidget *topWidget, bool embedded)
    : QDialog(topWidget)
{
    setObjectName(QStringLiteral("CPPopupMenuDialog"));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    // Shown on hover: the window under the cursor keeps the keyboard.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 5, 0);
    auto *workspace = new CPBaseWidget(this, embedded, QStringLiteral("controls/custompage.css"));
    workspace->setObjectName(QStringLiteral("popup_menu_workspace"));
    workspace->setAttribute(Qt::WA_StyledBackground);
    workspace->setMouseTracking(true);
    auto *workspaceLayout = new QHBoxLayout(workspace);
    workspaceLayout->setContentsMargins(0, 0, 0, 0);
    m_stack = new QStackedWidget(workspace);
    workspaceLayout->addWidget(m_stack);
    layout->addWidget(workspace);
}

CPPopupMenuDialog::~CPPopupMenuDialog() = default;

void CPPopupMenuDialog::setCategories(const QList<QVariantMap> &categories)
{
    while (m_stack->count() > 0) {
        QWidget *page = m_stack->widget(0);
        m_stack->removeWidget(page);
        delete page;
    }
    for (const QVariantMap &root : categories) {
        auto *scroll = new QScrollArea(m_stack);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto *group = new QWidget(scroll);
        group->setObjectName(QStringLiteral("category_group_widget"));
        auto *groupLayout = new QVBoxLayout(group);
        groupLayout->setContentsMargins(0, 0, 0, 0);
        groupLayout->setSpacing(0);
        auto *list = new QWidget(group);
        list->setObjectName(QStringLiteral("category_list_widget"));
        auto *listLayout = new QVBoxLayout(list);
        listLayout->setContentsMargins(0, 10, 0, 0);

        const QJsonObject rootObject = QJsonObject::fromVariantMap(root);
        const QJsonArray children = rootObject.value(QStringLiteral("children")).toArray();
        qCDebug(lcEditor) << "children size: " << children.size();
        const auto addGroup = [this, list, listLayout](const QJsonObject &category) {
            auto *production = new CPProductionCategory(list);
            production->setCategory(category);
            connect(production, &CPProductionCategory::selectProd, this, &CPPopupMenuDialog::switchProd);
            listLayout->addWidget(production);
        };
        for (const QJsonValue &child : children)
            addGroup(child.toObject());
        const QJsonArray own = rootObject.value(QStringLiteral("productions")).toArray();
        if (!own.isEmpty())
            addGroup(QJsonObject{{QStringLiteral("CAT_NAME"), QJsonValue::Null}, {QStringLiteral("productions"), own}});

        groupLayout->addWidget(list);
        auto *expand = new QWidget(group);
        expand->setObjectName(QStringLiteral("expandWidget"));
        groupLayout->addWidget(expand, 1);
        scroll->setWidget(group);
        m_stack->addWidget(scroll);
    }
}

void CPPopupMenuDialog::setCurrentPage(int index)
{
    if (index >= 0 && index < m_stack->count())
        m_stack->setCurrentIndex(index);
}

QList<CPProductionCategory *> CPPopupMenuDialog::groups(int index) const
{
    QWidget *page = m_stack->widget(index);
    return page ? page->findChildren<CPProductionCategory *>() : QList<CPProductionCategory *>();
}

bool CPPopupMenuDialog::atRightEdge(const QPoint &globalPos) const
{
    const QRect area(mapToGlobal(QPoint(0, 0)), size());
    return globalPos.x() >= area.right() - kEdgeWidth && globalPos.x() <= area.right()
           && globalPos.y() >= area.top() && globalPos.y() <= area.bottom();
}

void CPPopupMenuDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        close();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        if (m_onRightEdge) {
            m_edgeDrag = true;
            grabMouse();
        }
    }
    QDialog::mousePressEvent(event);
}

void CPPopupMenuDialog::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint global = event->globalPos();
    if (!m_pressed) {
        m_onRightEdge = atRightEdge(global);
        setCursor(m_onRightEdge ? Qt::SizeHorCursor : Qt::ArrowCursor);
    } else if (m_edgeDrag) {
        const int left = mapToGlobal(QPoint(0, 0)).x();
        resize(qMax(minimumWidth(), global.x() - left), height());
    }
    QDialog::mouseMoveEvent(event);
}

void CPPopupMenuDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        if (m_edgeDrag) {
            m_edgeDrag = false;
            releaseMouse();
            setCursor(Qt::ArrowCursor);
        }
    }
    QDialog::mouseReleaseEvent(event);
}

} // namespace HXCPControls
