#include "cpsplitterhandle.h"

#include "cpsplitter.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QStyleOption>

namespace HXCPControls {

CPSplitterHandle::CPSplitterHandle(Qt::Orientation orientation, CPSplitter *parent)
    : QWidget(parent)
    , m_splitter(parent)
    , m_orientation(orientation)
{
    setAttribute(Qt::WA_Hover);
    setOrientation(orientation);
    updateGrabArea();
}

int CPSplitterHandle::grabWidth()
{
    // A setting of the installation: read once, not for every handle of a page.
    static const int width = [] {
        const QSettings settings(QCoreApplication::applicationDirPath() + QStringLiteral("/start.ini"),
                                 QSettings::IniFormat);
        return settings.value(QStringLiteral("SplitHandler/grapMouseWidth"), 10).toInt();
    }();
    return width;
}

void CPSplitterHandle::setOrientation(Qt::Orientation orientation)
{
    m_orientation = orientation;
    setCursor(orientation == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
    updateGrabArea();
}

QSize CPSplitterHandle::sizeHint() const
{
    const int width = m_splitter->handleWidth();
    return QSize(width, width);
}

bool CPSplitterHandle::dragAllowed() const
{
    return m_splitter->dragAllowed();
}

bool CPSplitterHandle::event(QEvent *event)
{
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave) {
        m_hover = event->type() == QEvent::HoverEnter;
        update();
    }
    return QWidget::event(event);
}

void CPSplitterHandle::enterEvent(QEvent *event)
{
    if (!dragAllowed())
        setCursor(Qt::ArrowCursor);
    else
        setCursor(m_orientation == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
    QWidget::enterEvent(event);
}

void CPSplitterHandle::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    // Measured from the line, not from the edge of the grab band.
    const QMargins m = contentsMargins();
    m_mouseOffset = pick(event->pos()) - (m_orientation == Qt::Horizontal ? m.left() : m.top());
    m_pressed = true;
    update();
}

void CPSplitterHandle::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragAllowed()) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    if (m_pressed)
        m_splitter->moveHandle(this, pick(m_splitter->mapFromGlobal(event->globalPos())) - m_mouseOffset);
}

void CPSplitterHandle::mouseReleaseEvent(QMouseEvent *event)
{
    emit valueChanged();
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        update();
    }
}

void CPSplitterHandle::resizeEvent(QResizeEvent *event)
{
    updateGrabArea();
    QWidget::resizeEvent(event);
}

void CPSplitterHandle::paintEvent(QPaintEvent *)
{
    // Only the line is painted; the grab band around it is masked out.
    QPainter painter(this);
    QStyleOption opt;
    opt.initFrom(this);
    opt.rect = contentsRect();
    opt.state = m_orientation == Qt::Horizontal ? QStyle::State_Horizontal : QStyle::State_None;
    if (m_hover)
        opt.state |= QStyle::State_MouseOver;
    if (m_pressed)
        opt.state |= QStyle::State_Sunken;
    if (isEnabled())
        opt.state |= QStyle::State_Enabled;
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &painter, this);
    style()->drawControl(QStyle::CE_Splitter, &opt, &painter, m_splitter);
}

void CPSplitterHandle::updateGrabArea()
{
    const int margin = (grabWidth() - m_splitter->handleWidth()) / 2;
    if (margin < 1) {
        setContentsMargins(0, 0, 0, 0);
        clearMask();
        setAttribute(Qt::WA_MouseNoMask, false);
        return;
    }
    setAttribute(Qt::WA_MouseNoMask, true);
    if (m_orientation == Qt::Horizontal)
        setContentsMargins(margin, 0, margin, 0);
    else
        setContentsMargins(0, margin, 0, margin);
    setMask(QRegion(contentsRect()));
}

} // namespace HXCPControls
