#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QPointer>
#include <QSplitter>

namespace HXCPControls {

class CPSplitView;

// An inner node of a page's split tree: its children are splitters and items.
class HXCPCONTROLS_EXPORT CPSplitter : public QSplitter, public IWKMemory
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory)
public:
    // A splitter created with an owning split view follows the view's edit
    // mode: handles can be dragged only in edit mode.
    explicit CPSplitter(QWidget *parent = nullptr, CPSplitView *owner = nullptr);
    CPSplitter(Qt::Orientation orientation, QWidget *parent, CPSplitView *owner);

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
    // The user released a handle of this splitter or of a nested one.
    void spliterHandleMoved();

protected:
    QSplitterHandle *createHandle() override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void init();
    void followOwner(CPSplitView *owner);

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
