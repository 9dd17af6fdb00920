#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpsplitterhandle.h"
#include "wk/iwkinterface.h"

#include <QFrame>
#include <QPointer>
#include <QVector>

namespace HXCPControls {

class CPSplitView;

// An inner node of a page's split tree: its children are splitters and items,
// side by side along its orientation with a handle between neighbours.
// It lays its children out itself, once when needed rather than on every
// insertion, so that a page of n children is restored in time linear in n.
// Children are given their stored sizes scaled to the available length, within
// their minimum and maximum sizes; a hidden child takes no space, and neither
// its handle nor the first visible child's handle is shown.
class HXCPCONTROLS_EXPORT CPSplitter : public QFrame, public IWKMemory
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory)
    Q_PROPERTY(Qt::Orientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int handleWidth READ handleWidth WRITE setHandleWidth)
public:
    // A splitter created with an owning split view follows the view's edit
    // mode: handles can be dragged only in edit mode.
    explicit CPSplitter(QWidget *parent = nullptr, CPSplitView *owner = nullptr);
    CPSplitter(Qt::Orientation orientation, QWidget *parent, CPSplitView *owner);
    ~CPSplitter() override;

    int count() const { return m_list.size(); }
    QWidget *widget(int index) const;
    int indexOf(QWidget *widget) const;
    // The handle before the child at `index`; that of the first child is never shown.
    CPSplitterHandle *handle(int index) const;

    // Adds `widget` (moving it when it is a child already); a widget made with
    // the splitter as parent is appended by itself.
    void addWidget(QWidget *widget) { insertWidget(-1, widget); }
    void insertWidget(int index, QWidget *widget);
    // Puts `widget` in the place of the child at `index` and returns that
    // child, now without parent; null when nothing was replaced.
    QWidget *replaceWidget(int index, QWidget *widget);

    // The children's extents along the orientation as last laid out.
    QList<int> sizes() const;
    void setSizes(const QList<int> &sizes);

    Qt::Orientation orientation() const { return m_orientation; }
    void setOrientation(Qt::Orientation orientation);
    int handleWidth() const;
    void setHandleWidth(int width);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    void save(QVariantMap &map) override;
    void restore(const QVariantMap &map) override;

    bool handlesEnabled() const { return m_handlesEnabled; }
    void setHandlesEnabled(bool enabled);

    bool dragAllowed() const { return m_dragAllowed; }
    void setDragAllowed(bool allowed) { m_dragAllowed = allowed; }

    int pendingWidth() const { return m_pendingWidth; }
    void setPendingWidth(int width) { m_pendingWidth = width; }

    // Shares the width out equally among the children (used after a split).
    void equalizeSizes();

    CPSplitView *splitView() const;

signals:
    // A handle was dragged: `pos` is its new position, `index` its index.
    void splitterMoved(int pos, int index);
    // The user released a handle of this splitter or of a nested one.
    void spliterHandleMoved();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void childEvent(QChildEvent *event) override;
    bool event(QEvent *event) override;

private:
    friend class CPSplitterHandle;
    struct Child {
        QWidget *widget;
        CPSplitterHandle *handle;
        int sizer; // the stored size, -1 until known
        bool clampSizer; // raised to the child's minimum when next laid out
        QRect rect;
    };

    void init(Qt::Orientation orientation);
    void followOwner(CPSplitView *owner);
    CPSplitterHandle *createHandle();
    void insertChild(int index, QWidget *widget);
    // Lays the children out now, or once the splitter is shown.
    void invalidateLayout();
    void layoutChildren();
    void ensureLaidOut() const;
    int pick(const QSize &s) const { return m_orientation == Qt::Horizontal ? s.width() : s.height(); }
    int pick(const QPoint &p) const { return m_orientation == Qt::Horizontal ? p.x() : p.y(); }
    int trans(const QSize &s) const { return m_orientation == Qt::Horizontal ? s.height() : s.width(); }
    void moveHandle(CPSplitterHandle *handle, int pos);

    QVector<Child> m_list;
    Qt::Orientation m_orientation = Qt::Horizontal;
    int m_handleWidth = -1;
    bool m_blockChildAdd = false;
    bool m_layoutDirty = true;
    bool m_layoutPosted = false;

    QPointer<CPSplitView> m_owner;
    bool m_handlesEnabled = true;
    bool m_dragAllowed = true;
    int m_pendingWidth = 0;
    // Sizes as restored, written back until the splitter is first shown: a
    // splitter that was never laid out has no meaningful sizes of its own.
    QList<int> m_storedSizes;
    bool m_writeStoredSizes = false;
};

} // namespace HXCPControls
