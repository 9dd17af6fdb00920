#include "cpsplitter.h"

#include "contentformat.h"
#include "cpsplititem.h"
#include "cpsplitterhandle.h"
#include "cpsplitview.h"
#include "splittree.h"

#include <QCoreApplication>

#include <QEvent>

namespace HXCPControls {

CPSplitter::CPSplitter(QWidget *parent, CPSplitView *owner)
    : QSplitter(parent)
    , m_owner(owner)
{
    init();
}

CPSplitter::CPSplitter(Qt::Orientation orientation, QWidget *parent, CPSplitView *owner)
    : QSplitter(orientation, parent)
    , m_owner(owner)
{
    init();
}

void CPSplitter::init()
{
    setContentsMargins(0, 0, 0, 0);
    setChildrenCollapsible(false);
    setHandleWidth(1);
    followOwner(m_owner);
}

// The handles follow the owning view's mode from the moment the splitter
// exists; a splitter made without an owner (a split across orientations)
// takes the view it is placed in as its owner.
void CPSplitter::followOwner(CPSplitView *owner)
{
    m_owner = owner;
    if (owner) {
        m_dragAllowed = owner->editModel();
        connect(owner, &CPSplitView::editModelChanged, this, &CPSplitter::setDragAllowed, Qt::UniqueConnection);
    }
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        const QVariant obj = w->property("zhpObj");
        if (obj.isValid()) {
            setProperty("zhpObj", obj);
            break;
        }
    }
}

bool CPSplitter::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange && parentWidget())
        followOwner(m_owner ? m_owner.data() : CPSplitView::ancestorOf(parentWidget()));
    return QSplitter::event(event);
}

CPSplitView *CPSplitter::splitView() const
{
    return m_owner;
}

QSplitterHandle *CPSplitter::createHandle()
{
    auto *handle = new CPSplitterHandle(orientation(), this);
    handle->setEnabled(m_handlesEnabled);
    connect(handle, &CPSplitterHandle::valueChanged, this, &CPSplitter::spliterHandleMoved);
    return handle;
}

void CPSplitter::setHandlesEnabled(bool enabled)
{
    m_handlesEnabled = enabled;
    for (int i = 0; i < count(); ++i)
        handle(i)->setEnabled(enabled);
}

void CPSplitter::equalizeSizes()
{
    if (count() == 0)
        return;
    setSizes(SplitTree::equalSizes(count(), width(), handleWidth(), m_pendingWidth));
    m_writeStoredSizes = false;
    m_pendingWidth = 0;
}

void CPSplitter::showEvent(QShowEvent *event)
{
    m_writeStoredSizes = false;
    QSplitter::showEvent(event);
}

void CPSplitter::save(QVariantMap &map)
{
    QVariantList sizes;
    for (int size : m_writeStoredSizes ? m_storedSizes : this->sizes())
        sizes.append(size);
    map.insert(QStringLiteral("sizes"), sizes);
    map.insert(QStringLiteral("orientation"), int(orientation()));

    QVariantList children;
    for (int i = 0; i < count(); ++i) {
        QWidget *child = widget(i);
        QVariantMap object;
        object.insert(QStringLiteral("className"), QString::fromLatin1(child->metaObject()->className()));
        if (auto *memory = qobject_cast<IWKMemory *>(child))
            memory->save(object);
        children.append(object);
    }
    map.insert(QStringLiteral("children"), children);
}

namespace {
// Delivers the requests that every new widget posts (polish, layout) and
// drops the delivered entries from the thread's list of posted events. Qt
// walks that whole list on every post to a widget that still has one
// pending, and delivering by type leaves the entries in place, so without
// this the list, and each walk, grows with the number of widgets made.
void deliverWidgetRequests()
{
    static const int unused = QEvent::registerEventType();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::ChildPolished);
    // Removing a type that is never posted only compacts the list.
    QCoreApplication::removePostedEvents(nullptr, unused);
}
} // namespace

void CPSplitter::restore(const QVariantMap &map)
{
    const QVariantList children = map.value(QStringLiteral("children")).toList();
    if (children.isEmpty())
        return;
    const int orientation = map.value(QStringLiteral("orientation")).toInt();
    if (orientation == Qt::Horizontal || orientation == Qt::Vertical)
        setOrientation(Qt::Orientation(orientation));

    // QSplitter recalculates over all its children on every insertion, and
    // asks each child that is not hidden for its size hints. Children are built
    // hidden and shown together at the end, which spares those hints; the walk
    // over the children remains, so a splitter of n children still costs time
    // with n² (about a second for 10,000 plain widgets).
    QList<QWidget *> added;
    added.reserve(children.size());
    for (const QVariant &childValue : children) {
        // Each new widget posts a layout request, and posting looks through
        // every event still pending: delivering those requests now and then
        // keeps that list short on a page of many items. Other posted events
        // (queued calls among them) wait for the event loop as usual.
        if (added.size() % 128 == 127)
            deliverWidgetRequests();
        const QVariantMap child = childValue.toMap();
        QWidget *widget = nullptr;
        if (child.value(QStringLiteral("className")).toString() == QLatin1String(kSplitterClass)) {
            // Made with this splitter as parent, the child is appended already.
            auto *splitter = new CPSplitter(this, m_owner);
            splitter->hide();
            connect(splitter, &CPSplitter::spliterHandleMoved, this, &CPSplitter::spliterHandleMoved);
            splitter->restore(child);
            splitter->setHandlesEnabled(m_handlesEnabled);
            widget = splitter;
        } else {
            auto *item = new CPSplitItem(this);
            item->hide();
            item->restore(child);
            widget = item;
        }
        added.append(widget);
    }
    for (QWidget *widget : added)
        widget->setHidden(false);

    QList<int> sizes;
    for (const QVariant &size : map.value(QStringLiteral("sizes")).toList())
        sizes.append(size.toInt());
    setSizes(sizes);
    if (!isVisible()) {
        m_storedSizes = sizes;
        m_writeStoredSizes = true;
    }
}

} // namespace HXCPControls
