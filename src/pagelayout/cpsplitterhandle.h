#pragma once

#include "common/hxcpcontrols_global.h"

#include <QWidget>

namespace HXCPControls {

class CPSplitter;

// The handle of every CPSplitter: drawn as a thin line, but taking the mouse
// over a wider band ("SplitHandler/grapMouseWidth" in start.ini beside the
// executable, 10 pixels by default), and frozen while its splitter does not
// allow dragging. Dragging moves the boundary between its two neighbours.
class HXCPCONTROLS_EXPORT CPSplitterHandle : public QWidget
{
    Q_OBJECT
public:
    CPSplitterHandle(Qt::Orientation orientation, CPSplitter *parent);

    // The grab width, read from start.ini the first time it is needed.
    static int grabWidth();

    Qt::Orientation orientation() const { return m_orientation; }
    void setOrientation(Qt::Orientation orientation);
    CPSplitter *splitter() const { return m_splitter; }

    QSize sizeHint() const override;

signals:
    // Emitted on every mouse release on the handle.
    void valueChanged();

protected:
    bool event(QEvent *event) override;
    void enterEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class CPSplitter;
    bool dragAllowed() const;
    void updateGrabArea();
    int pick(const QPoint &p) const { return m_orientation == Qt::Horizontal ? p.x() : p.y(); }

    CPSplitter *m_splitter;
    Qt::Orientation m_orientation;
    int m_mouseOffset = 0;
    bool m_pressed = false;
    bool m_hover = false;
};

} // namespace HXCPControls
