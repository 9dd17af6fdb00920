#pragma once

#include "common/hxcpcontrols_global.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

namespace HXCPControls {

class CPDialogContentItem;

// A frameless, movable and resizable frame around a CPDialogContentItem.
// Its 5-pixel margin is the grip: the outer 3 pixels of each edge resize it,
// a press in the item's title bar moves it.
class HXCPCONTROLS_EXPORT CPDialogContent : public QWidget
{
    Q_OBJECT
public:
    // Where the cursor is on the frame.
    enum Region {
        Top = 0,
        Bottom = 1,
        Left = 2,
        Right = 3,
        TopLeft = 4,
        BottomLeft = 5,
        BottomRight = 6,
        TopRight = 7,
        Inside = 8,
    };

    CPDialogContent(QWidget *parent, CPDialogContentItem *item);
    ~CPDialogContent() override;

    CPDialogContentItem *item() const { return m_item; }
    int region() const { return m_region; }
    bool isPressed() const { return m_pressed; }

    // The region of a point given in screen coordinates.
    int regionAt(const QPoint &globalPos) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void updateRegion(const QPoint &globalPos);
    void resizeTo(const QPoint &globalPos);

    QPointer<CPDialogContentItem> m_item;
    bool m_pressed = false;
    QPoint m_dragOffset;
    int m_region = Inside;
};

} // namespace HXCPControls
