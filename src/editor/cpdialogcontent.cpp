#include "cpdialogcontent.h"

#include "cpdialogcontentitem.h"

#include <QMouseEvent>
#include <QVBoxLayout>

namespace HXCPControls {

namespace {
// How far in from an edge, inclusive, the cursor still grips that edge.
constexpr int kGrip = 2;

Qt::CursorShape cursorOf(int region)
{
    switch (region) {
    case CPDialogContent::Top:
    case CPDialogContent::Bottom:
        return Qt::SizeVerCursor;
    case CPDialogContent::Left:
    case CPDialogContent::Right:
        return Qt::SizeHorCursor;
    case CPDialogContent::TopLeft:
    case CPDialogContent::BottomRight:
        return Qt::SizeFDiagCursor;
    case CPDialogContent::BottomLeft:
    case CPDialogContent::TopRight:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}
} // namespace

CPDialogContent::CPDialogContent(QWidget *parent, CPDialogContentItem *item)
    : QWidget(parent)
    , m_item(item)
{
    setMouseTracking(true);
    setGeometry(0, 0, 0, 0);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    if (item)
        layout->addWidget(item);
}

CPDialogContent::~CPDialogContent() = default;

int CPDialogContent::regionAt(const QPoint &globalPos) const
{
    const QPoint tl = mapToGlobal(rect().topLeft());
    const QPoint br = mapToGlobal(rect().bottomRight());
    const int x = globalPos.x();
    const int y = globalPos.y();
    const bool left = x >= tl.x() && x <= tl.x() + kGrip;
    const bool right = x >= br.x() - kGrip && x <= br.x();
    const bool top = y >= tl.y() && y <= tl.y() + kGrip;
    const bool bottom = y >= br.y() - kGrip && y <= br.y();

    if (top && left)
        return TopLeft;
    if (bottom && left)
        return BottomLeft;
    if (bottom && right)
        return BottomRight;
    if (top && right)
        return TopRight;
    if (top)
        return Top;
    if (bottom)
        return Bottom;
    if (left)
        return Left;
    if (right)
        return Right;
    return Inside;
}

void CPDialogContent::updateRegion(const QPoint &globalPos)
{
    m_region = regionAt(globalPos);
    setCursor(cursorOf(m_region));
}

void CPDialogContent::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        m_pressed = false;
        QWidget::mousePressEvent(event);
        return;
    }
    if (m_region != Inside) {
        m_pressed = true;
        grabMouse();
        return;
    }
    const int titleHeight = m_item ? m_item->titleBarHeight() : 100;
    if (event->pos().y() > 0 && event->pos().y() < titleHeight) {
        m_pressed = true;
        m_dragOffset = event->globalPos() - pos();
    }
}

void CPDialogContent::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    if (!m_pressed) {
        if (event->buttons() == Qt::NoButton)
            updateRegion(event->globalPos());
        return;
    }
    if (m_region == Inside) {
        move(event->globalPos() - m_dragOffset);
        event->accept();
        return;
    }
    resizeTo(event->globalPos());
}

void CPDialogContent::resizeTo(const QPoint &globalPos)
{
    const QPoint tl = mapToGlobal(rect().topLeft());
    const QPoint br = mapToGlobal(rect().bottomRight());
    QRect r(tl, br);
    const int x = globalPos.x();
    const int y = globalPos.y();

    // The top and left sides only follow the cursor while the frame stays
    // above its minimum size; otherwise the frame would start moving.
    auto moveTop = [&] {
        if (br.y() - y > minimumHeight())
            r.setTop(y);
    };
    auto moveLeft = [&] {
        if (br.x() - x > minimumWidth())
            r.setLeft(x);
    };

    switch (m_region) {
    case Top:
        moveTop();
        break;
    case Bottom:
        r.setHeight(y - tl.y());
        break;
    case Left:
        moveLeft();
        break;
    case Right:
        r.setWidth(x - tl.x());
        break;
    case TopLeft:
        moveTop();
        moveLeft();
        break;
    case BottomLeft:
        r.setLeft(x);
        r.setHeight(y - r.top());
        break;
    case BottomRight:
        r.setWidth(x - tl.x());
        r.setHeight(y - tl.y());
        break;
    case TopRight:
        r.setWidth(x - tl.x());
        r.setTop(y);
        break;
    default:
        return;
    }
    // The rectangle is in screen coordinates; a child frame is placed in its parent's.
    if (QWidget *parent = parentWidget(); parent && !isWindow())
        r.moveTopLeft(parent->mapFromGlobal(r.topLeft()));
    setGeometry(r);
}

void CPDialogContent::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const bool wasResizing = m_pressed && m_region != Inside;
        m_pressed = false;
        if (wasResizing) {
            releaseMouse();
            setCursor(Qt::ArrowCursor);
        }
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace HXCPControls
