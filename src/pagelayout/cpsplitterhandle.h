#pragma once

#include "common/hxcpcontrols_global.h"

#include <QSplitterHandle>

namespace HXCPControls {

// The handle of every CPSplitter: drawn as a thin line, but taking the mouse
// over a wider band ("SplitHandler/grapMouseWidth" in start.ini beside the
// executable, 10 pixels by default), and frozen while its splitter does not
// allow dragging.
class HXCPCONTROLS_EXPORT CPSplitterHandle : public QSplitterHandle
{
    Q_OBJECT
public:
    CPSplitterHandle(Qt::Orientation orientation, QSplitter *parent);

    // The grab width, read from start.ini the first time it is needed.
    static int grabWidth();

signals:
    // Emitted on every mouse release on the handle.
    void valueChanged();

protected:
    void enterEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool dragAllowed() const;
    void updateGrabArea();
};

} // namespace HXCPControls
