#include "cpsplitterhandle.h"

#include "cpsplitter.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSettings>

namespace HXCPControls {

CPSplitterHandle::CPSplitterHandle(Qt::Orientation orientation, QSplitter *parent)
    : QSplitterHandle(orientation, parent)
{
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

bool CPSplitterHandle::dragAllowed() const
{
    auto *splitter = qobject_cast<CPSplitter *>(this->splitter());
    return !splitter || splitter->dragAllowed();
}

void CPSplitterHandle::enterEvent(QEvent *event)
{
    if (!dragAllowed())
        setCursor(Qt::ArrowCursor);
    else
        setCursor(orientation() == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
    QSplitterHandle::enterEvent(event);
}

void CPSplitterHandle::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragAllowed()) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    QSplitterHandle::mouseMoveEvent(event);
}

void CPSplitterHandle::mouseReleaseEvent(QMouseEvent *event)
{
    emit valueChanged();
    QSplitterHandle::mouseReleaseEvent(event);
}

void CPSplitterHandle::resizeEvent(QResizeEvent *event)
{
    // The base class would set its own narrow grab margins; this handle sets its own instead.
    updateGrabArea();
    QWidget::resizeEvent(event);
}

void CPSplitterHandle::updateGrabArea()
{
    const int margin = (grabWidth() - splitter()->handleWidth()) / 2;
    if (margin < 1) {
        setContentsMargins(0, 0, 0, 0);
        clearMask();
        setAttribute(Qt::WA_MouseNoMask, false);
        return;
    }
    setAttribute(Qt::WA_MouseNoMask, true);
    if (orientation() == Qt::Horizontal)
        setContentsMargins(margin, 0, margin, 0);
    else
        setContentsMargins(0, margin, 0, margin);
    setMask(QRegion(contentsRect()));
}

} // namespace HXCPControls
