#include "cpsplitter.h"

#include "contentformat.h"
#include "cpsplititem.h"
#include "cpsplitterhandle.h"
#include "cpsplitview.h"
#include "splittree.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QStyle>

#include <algorithm>

namespace HXCPControls {

namespace {

// One slot of a layout line: a child or a handle.
struct Slot {
    int stretch = 0;
    int sizeHint = 0;
    int minimumSize = 0;
    int maximumSize = QWIDGETSIZE_MAX;
    bool expansive = false;
    bool empty = true;
    bool done = false;
    int pos = 0;
    int size = 0;

    int smartSizeHint() const { return stretch > 0 ? minimumSize : sizeHint; }
};

// Sizes are shared out in 1/256 pixel steps, with the rounding carried to the next slot.
qint64 toFixed(int i) { return qint64(i) * 256; }
int fRound(qint64 i) { return (i % 256 < 128) ? int(i / 256) : 1 + int(i / 256); }

// Shares `space` out among `chain` starting at `pos`, the way Qt's own box
// layouts do (without spacing), so that pages keep the sizes they always had:
// below the sum of minimum sizes the largest are cut first; below the sum of
// hints each gives up an equal part down to its minimum; above it the slots
// that may grow share the rest by stretch, within their minimum and maximum.
void geomCalc(QVector<Slot> &chain, int pos, int space)
{
    const int count = chain.size();
    int cHint = 0;
    int cMin = 0;
    int sumStretch = 0;
    int nonEmpty = 0;
    bool wannaGrow = false;
    bool allEmptyNonstretch = true;
    for (Slot &data : chain) {
        data.done = false;
        cHint += data.smartSizeHint();
        cMin += data.minimumSize;
        sumStretch += data.stretch;
        if (!data.empty)
            ++nonEmpty;
        wannaGrow = wannaGrow || data.expansive || data.stretch > 0;
        allEmptyNonstretch = allEmptyNonstretch && !wannaGrow && data.empty;
    }

    int extraspace = 0;
    if (space < cMin) {
        QVector<int> list;
        list.reserve(count);
        for (const Slot &data : chain)
            list.append(data.minimumSize);
        std::sort(list.begin(), list.end());
        int sum = 0;
        int idx = 0;
        int spaceUsed = 0;
        while (idx < count && spaceUsed < space) {
            const int current = list.at(idx);
            spaceUsed = sum + current * (count - idx);
            sum += current;
            ++idx;
        }
        --idx;
        const int deficit = spaceUsed - space;
        const int items = count - idx;
        const int deficitPerItem = deficit / items;
        const int remainder = deficit % items;
        const int maxval = list.at(idx);
        int rest = 0;
        for (Slot &data : chain) {
            int maxv = maxval;
            rest += remainder;
            if (rest >= items) {
                --maxv;
                rest -= items;
            }
            data.size = qMin(data.minimumSize, maxv - deficitPerItem);
            data.done = true;
        }
    } else if (space < cHint) {
        int n = count;
        int overdraft = cHint - space;
        for (Slot &data : chain) {
            if (data.minimumSize >= data.smartSizeHint()) {
                data.size = data.smartSizeHint();
                data.done = true;
                --n;
            }
        }
        bool finished = n == 0;
        while (!finished) {
            finished = true;
            const qint64 fpOver = toFixed(overdraft);
            qint64 fpW = 0;
            for (Slot &data : chain) {
                if (data.done)
                    continue;
                fpW += fpOver / n;
                const int w = fRound(fpW);
                data.size = data.smartSizeHint() - w;
                fpW -= toFixed(w);
                if (data.size < data.minimumSize) {
                    data.done = true;
                    data.size = data.minimumSize;
                    finished = false;
                    overdraft -= data.smartSizeHint() - data.minimumSize;
                    --n;
                    break;
                }
            }
        }
    } else {
        int n = count;
        int spaceLeft = space;
        for (Slot &data : chain) {
            if (data.maximumSize <= data.smartSizeHint() || (wannaGrow && !data.expansive && data.stretch == 0)
                || (!allEmptyNonstretch && data.empty && !data.expansive && data.stretch == 0)) {
                data.size = data.smartSizeHint();
                data.done = true;
                spaceLeft -= data.size;
                sumStretch -= data.stretch;
                --n;
            }
        }
        extraspace = spaceLeft;
        int surplus = 0;
        int deficit = 0;
        do {
            surplus = deficit = 0;
            const qint64 fpSpace = toFixed(spaceLeft);
            qint64 fpW = 0;
            for (Slot &data : chain) {
                if (data.done)
                    continue;
                extraspace = 0;
                if (sumStretch <= 0)
                    fpW += fpSpace / n;
                else
                    fpW += (fpSpace * data.stretch) / sumStretch;
                const int w = fRound(fpW);
                data.size = w;
                fpW -= toFixed(w);
                if (w < data.smartSizeHint())
                    deficit += data.smartSizeHint() - w;
                else if (w > data.maximumSize)
                    surplus += w - data.maximumSize;
            }
            if (deficit > 0 && surplus <= deficit) {
                for (Slot &data : chain) {
                    if (!data.done && data.size < data.smartSizeHint()) {
                        data.size = data.smartSizeHint();
                        data.done = true;
                        spaceLeft -= data.smartSizeHint();
                        sumStretch -= data.stretch;
                        --n;
                    }
                }
            }
            if (surplus > 0 && surplus >= deficit) {
                for (Slot &data : chain) {
                    if (!data.done && data.size > data.maximumSize) {
                        data.size = data.maximumSize;
                        data.done = true;
                        spaceLeft -= data.maximumSize;
                        sumStretch -= data.stretch;
                        --n;
                    }
                }
            }
        } while (n > 0 && surplus != deficit);
        if (n == 0)
            extraspace = spaceLeft;
    }

    // What nobody could take is spread around the non-empty slots.
    const int extra = extraspace / (qMax(nonEmpty - 1, 0) + 2);
    int p = pos + extra;
    for (Slot &data : chain) {
        data.pos = p;
        p += data.size;
        if (!data.empty)
            p += extra;
    }
}

// The least size a layout gives `w`, as Qt's layouts reckon it.
QSize smartMinSize(const QWidget *w)
{
    const QSize hint = w->sizeHint();
    const QSize minHint = w->minimumSizeHint();
    const QSizePolicy policy = w->sizePolicy();
    QSize s(0, 0);
    if (policy.horizontalPolicy() != QSizePolicy::Ignored)
        s.setWidth(policy.horizontalPolicy() & QSizePolicy::ShrinkFlag ? minHint.width()
                                                                       : qMax(hint.width(), minHint.width()));
    if (policy.verticalPolicy() != QSizePolicy::Ignored)
        s.setHeight(policy.verticalPolicy() & QSizePolicy::ShrinkFlag ? minHint.height()
                                                                      : qMax(hint.height(), minHint.height()));
    s = s.boundedTo(w->maximumSize());
    if (w->minimumSize().width() > 0)
        s.setWidth(w->minimumSize().width());
    if (w->minimumSize().height() > 0)
        s.setHeight(w->minimumSize().height());
    return s.expandedTo(QSize(0, 0));
}

} // namespace

CPSplitter::CPSplitter(QWidget *parent, CPSplitView *owner)
    : QFrame(parent)
    , m_owner(owner)
{
    init(Qt::Horizontal);
}

CPSplitter::CPSplitter(Qt::Orientation orientation, QWidget *parent, CPSplitView *owner)
    : QFrame(parent)
    , m_owner(owner)
{
    init(orientation);
}

CPSplitter::~CPSplitter()
{
    // The children go with the widget; none of them is laid out any more.
    m_list.clear();
}

void CPSplitter::init(Qt::Orientation orientation)
{
    m_orientation = orientation;
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    if (orientation == Qt::Vertical)
        policy.transpose();
    setSizePolicy(policy);
    setAttribute(Qt::WA_WState_OwnSizePolicy, false);
    setContentsMargins(0, 0, 0, 0);
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
    switch (event->type()) {
    case QEvent::ParentChange:
        if (parentWidget())
            followOwner(m_owner ? m_owner.data() : CPSplitView::ancestorOf(parentWidget()));
        break;
    case QEvent::LayoutRequest:
        // A child was shown or hidden, or its size constraints changed.
        m_layoutPosted = false;
        m_layoutDirty = true;
        if (isVisible())
            layoutChildren();
        break;
    default:
        break;
    }
    return QFrame::event(event);
}

CPSplitView *CPSplitter::splitView() const
{
    return m_owner;
}

CPSplitterHandle *CPSplitter::createHandle()
{
    const bool blocked = m_blockChildAdd;
    m_blockChildAdd = true;
    auto *handle = new CPSplitterHandle(m_orientation, this);
    m_blockChildAdd = blocked;
    handle->setEnabled(m_handlesEnabled);
    if (isVisible())
        handle->show();
    connect(handle, &CPSplitterHandle::valueChanged, this, &CPSplitter::spliterHandleMoved);
    return handle;
}

QWidget *CPSplitter::widget(int index) const
{
    return index >= 0 && index < m_list.size() ? m_list.at(index).widget : nullptr;
}

CPSplitterHandle *CPSplitter::handle(int index) const
{
    if (index < 0 || index >= m_list.size())
        return nullptr;
    CPSplitterHandle *&handle = const_cast<CPSplitter *>(this)->m_list[index].handle;
    if (!handle)
        handle = const_cast<CPSplitter *>(this)->createHandle();
    return handle;
}

int CPSplitter::indexOf(QWidget *widget) const
{
    for (int i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).widget == widget || m_list.at(i).handle == widget)
            return i;
    }
    return -1;
}

void CPSplitter::insertChild(int index, QWidget *widget)
{
    // The handle is made when first laid out or asked for, after the widgets
    // of a restored page, so it lies above both its neighbours.
    m_list.insert(index, Child{widget, nullptr, -1, false, QRect()});
    invalidateLayout();
}

void CPSplitter::insertWidget(int index, QWidget *widget)
{
    if (!widget)
        return;
    const int from = widget->parentWidget() == this ? indexOf(widget) : -1;
    const int last = from >= 0 ? m_list.size() - 1 : m_list.size();
    if (index < 0 || index > last)
        index = last;
    // A widget that was not hidden on purpose shows with the splitter.
    const bool show = isVisible() && !(widget->isHidden() && widget->testAttribute(Qt::WA_WState_ExplicitShowHide));
    if (from >= 0) {
        m_list.move(from, index);
        invalidateLayout();
    } else {
        m_blockChildAdd = true;
        widget->setParent(this);
        m_blockChildAdd = false;
        // Below the handles, whose grab bands reach over their neighbours.
        widget->lower();
        insertChild(index, widget);
    }
    if (show)
        widget->show();
}

QWidget *CPSplitter::replaceWidget(int index, QWidget *widget)
{
    if (!widget || index < 0 || index >= m_list.size() || widget->parentWidget() == this)
        return nullptr;
    Child &child = m_list[index];
    QWidget *current = child.widget;
    const QRect geometry = current->geometry();
    const bool wasHidden = current->isHidden();
    child.widget = widget;
    m_blockChildAdd = true;
    current->setParent(nullptr);
    widget->setParent(this);
    m_blockChildAdd = false;
    widget->setGeometry(geometry);
    widget->lower();
    widget->setHidden(wasHidden);
    invalidateLayout();
    return current;
}

void CPSplitter::childEvent(QChildEvent *event)
{
    QFrame::childEvent(event);
    if (!event->child()->isWidgetType())
        return;
    auto *w = static_cast<QWidget *>(event->child());
    if (event->added()) {
        // Made with the splitter as parent: appended in constant time.
        if (!m_blockChildAdd && !w->isWindow())
            insertChild(m_list.size(), w);
    } else if (event->polished()) {
        if (!m_blockChildAdd && !w->isWindow() && isVisible()
            && !(w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide)) && indexOf(w) >= 0)
            w->show();
    } else if (event->removed()) {
        for (int i = 0; i < m_list.size(); ++i) {
            if (m_list.at(i).widget == w) {
                CPSplitterHandle *handle = m_list.at(i).handle;
                m_list.remove(i);
                delete handle;
                invalidateLayout();
                break;
            }
        }
    }
}

void CPSplitter::setOrientation(Qt::Orientation orientation)
{
    if (orientation == m_orientation)
        return;
    if (!testAttribute(Qt::WA_WState_OwnSizePolicy)) {
        QSizePolicy policy = sizePolicy();
        policy.transpose();
        setSizePolicy(policy);
        setAttribute(Qt::WA_WState_OwnSizePolicy, false);
    }
    m_orientation = orientation;
    for (const Child &child : qAsConst(m_list))
        if (child.handle)
            child.handle->setOrientation(orientation);
    invalidateLayout();
}

int CPSplitter::handleWidth() const
{
    return m_handleWidth >= 0 ? m_handleWidth : style()->pixelMetric(QStyle::PM_SplitterWidth, nullptr, this);
}

void CPSplitter::setHandleWidth(int width)
{
    m_handleWidth = width;
    for (const Child &child : qAsConst(m_list))
        if (child.handle)
            child.handle->updateGrabArea();
    invalidateLayout();
}

void CPSplitter::setHandlesEnabled(bool enabled)
{
    m_handlesEnabled = enabled;
    for (const Child &child : qAsConst(m_list))
        if (child.handle)
            child.handle->setEnabled(enabled);
}

QList<int> CPSplitter::sizes() const
{
    ensureLaidOut();
    QList<int> list;
    list.reserve(m_list.size());
    for (const Child &child : m_list)
        list.append(pick(child.rect.size()));
    return list;
}

void CPSplitter::setSizes(const QList<int> &sizes)
{
    // A size left out or below the child's minimum gives the minimum when laid out.
    for (int i = 0; i < m_list.size(); ++i) {
        m_list[i].sizer = qMax(sizes.value(i), 0);
        m_list[i].clampSizer = true;
    }
    invalidateLayout();
    if (isVisible())
        layoutChildren();
}

QSize CPSplitter::sizeHint() const
{
    ensurePolished();
    int l = 0;
    int t = 0;
    for (const Child &child : m_list) {
        if (child.widget->isHidden())
            continue;
        const QSize s = child.widget->sizeHint();
        if (s.isValid()) {
            l += pick(s);
            t = qMax(t, trans(s));
        }
    }
    return m_orientation == Qt::Horizontal ? QSize(l, t) : QSize(t, l);
}

QSize CPSplitter::minimumSizeHint() const
{
    ensurePolished();
    int l = 0;
    int t = 0;
    bool first = true;
    for (const Child &child : m_list) {
        if (child.widget->isHidden())
            continue;
        const QSize s = smartMinSize(child.widget);
        l += pick(s);
        t = qMax(t, trans(s));
        if (!first)
            l += handleWidth();
        first = false;
    }
    return m_orientation == Qt::Horizontal ? QSize(l, t) : QSize(t, l);
}

void CPSplitter::invalidateLayout()
{
    m_layoutDirty = true;
    if (isVisible() && !m_layoutPosted) {
        m_layoutPosted = true;
        QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
    }
}

void CPSplitter::ensureLaidOut() const
{
    if (m_layoutDirty)
        const_cast<CPSplitter *>(this)->layoutChildren();
}

void CPSplitter::resizeEvent(QResizeEvent *event)
{
    m_layoutDirty = true;
    if (isVisible())
        layoutChildren();
    QFrame::resizeEvent(event);
}

void CPSplitter::showEvent(QShowEvent *event)
{
    m_writeStoredSizes = false;
    layoutChildren();
    QFrame::showEvent(event);
}

void CPSplitter::layoutChildren()
{
    m_layoutDirty = false;
    const int n = m_list.size();
    const int hw = qMax(handleWidth(), 0);
    const bool visible = isVisible();

    // The handle before the first visible child and those of hidden children are hidden.
    bool first = true;
    for (Child &child : m_list) {
        if (!child.handle)
            child.handle = createHandle();
        const bool widgetHidden = child.widget->isHidden();
        const bool handleHidden = first || widgetHidden;
        // Explicitly, so that showing the splitter does not show a hidden handle.
        if (child.handle->isHidden() != handleHidden || !child.handle->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child.handle->setHidden(handleHidden);
        if (!widgetHidden)
            first = false;
    }

    bool noStretchFactors = true;
    for (const Child &child : qAsConst(m_list)) {
        const QSizePolicy p = child.widget->sizePolicy();
        if ((m_orientation == Qt::Horizontal ? p.horizontalStretch() : p.verticalStretch()) != 0) {
            noStretchFactors = false;
            break;
        }
    }

    // One pass for the layout line and the splitter's own limits.
    const int frame = 2 * frameWidth();
    qint64 maxl = frame;
    int minl = frame;
    int maxt = QWIDGETSIZE_MAX;
    int mint = frame;
    bool empty = true;
    QVector<Slot> chain(2 * n);
    for (int i = 0; i < n; ++i) {
        Child &child = m_list[i];
        QWidget *w = child.widget;
        Slot &h = chain[2 * i];
        if (child.handle->isHidden()) {
            h.maximumSize = 0;
        } else {
            h.sizeHint = h.minimumSize = h.maximumSize = hw;
            h.empty = false;
            maxl += hw;
            minl += hw;
        }
        Slot &s = chain[2 * i + 1];
        if (w->isHidden()) {
            s.maximumSize = 0;
            continue;
        }
        empty = false;
        const QSize minSize = smartMinSize(w);
        const QSize maxSize = w->maximumSize();
        s.minimumSize = pick(minSize);
        s.maximumSize = pick(maxSize);
        s.empty = false;
        maxl += pick(maxSize);
        minl += pick(minSize);
        mint = qMax(mint, trans(minSize));
        if (trans(maxSize) > 0)
            maxt = qMin(maxt, trans(maxSize));

        const QSizePolicy p = w->sizePolicy();
        const int stretchFactor = m_orientation == Qt::Horizontal ? p.horizontalStretch() : p.verticalStretch();
        if (child.sizer < 0) {
            // Never given a size: the child's hint, or its own size when it was made larger.
            const QSize hint = w->sizeHint();
            child.sizer = !hint.isValid() || (w->testAttribute(Qt::WA_Resized) && pick(w->size()) > pick(hint))
                              ? pick(w->size())
                              : pick(hint);
            if (stretchFactor > 1)
                child.sizer *= stretchFactor;
        } else if (child.clampSizer) {
            child.sizer = qMax(child.sizer, s.minimumSize);
        }
        child.clampSizer = false;
        if (noStretchFactors || stretchFactor != 0) {
            s.stretch = child.sizer;
            s.sizeHint = s.minimumSize;
            s.expansive = true;
        } else {
            s.sizeHint = qMax(child.sizer, s.minimumSize);
        }
    }

    if (visible) {
        if (empty)
            maxl = maxt = qobject_cast<CPSplitter *>(parentWidget()) ? 0 : QWIDGETSIZE_MAX;
        const int length = int(qMin<qint64>(maxl, QWIDGETSIZE_MAX));
        maxt = qMax(maxt, mint);
        if (m_orientation == Qt::Horizontal)
            setMaximumSize(length, maxt);
        else
            setMaximumSize(maxt, length);
        if (isWindow())
            setMinimumSize(m_orientation == Qt::Horizontal ? QSize(minl, mint) : QSize(mint, minl));
    }

    const QRect contents = contentsRect();
    geomCalc(chain, pick(contents.topLeft()), pick(contents.size()));
    for (int i = 0; i < n; ++i) {
        Child &child = m_list[i];
        const int p = chain.at(2 * i + 1).pos;
        const int s = chain.at(2 * i + 1).size;
        child.rect = m_orientation == Qt::Horizontal ? QRect(p, contents.y(), s, contents.height())
                                                     : QRect(contents.x(), p, contents.width(), s);
        child.widget->setGeometry(child.rect);
        if (!child.handle->isHidden()) {
            // The grab band reaches over both neighbours.
            const QMargins m = child.handle->contentsMargins();
            if (m_orientation == Qt::Horizontal)
                child.handle->setGeometry(p - hw - m.left(), contents.y(), hw + m.left() + m.right(), contents.height());
            else
                child.handle->setGeometry(contents.x(), p - hw - m.top(), contents.width(), hw + m.top() + m.bottom());
        }
    }
}

void CPSplitter::moveHandle(CPSplitterHandle *handle, int pos)
{
    const int index = indexOf(handle);
    int before = index - 1;
    while (before >= 0 && m_list.at(before).widget->isHidden())
        --before;
    if (index <= 0 || before < 0 || handle->isHidden())
        return;
    ensureLaidOut();
    Child &prev = m_list[before];
    Child &next = m_list[index];
    const int hw = qMax(handleWidth(), 0);
    const int start = pick(prev.rect.topLeft());
    const int end = pick(next.rect.topLeft()) + pick(next.rect.size());
    // Both neighbours stay within their minimum and maximum sizes.
    const int prevMin = pick(smartMinSize(prev.widget));
    const int nextMin = pick(smartMinSize(next.widget));
    const int prevMax = pick(prev.widget->maximumSize());
    const int nextMax = pick(next.widget->maximumSize());
    const int low = qMax(start + prevMin, end - hw - nextMax);
    const int high = qMin(start + prevMax, end - hw - nextMin);
    pos = qMax(low, qMin(pos, high));

    auto place = [this](Child &child, int p, int s) {
        child.rect = m_orientation == Qt::Horizontal ? QRect(p, child.rect.y(), s, child.rect.height())
                                                     : QRect(child.rect.x(), p, child.rect.width(), s);
        child.widget->setGeometry(child.rect);
    };
    place(prev, start, pos - start);
    place(next, pos + hw, end - pos - hw);
    const QMargins m = handle->contentsMargins();
    if (m_orientation == Qt::Horizontal)
        handle->move(pos - m.left(), handle->y());
    else
        handle->move(handle->x(), pos - m.top());
    // From now on the sizes as they are are the stored ones.
    for (Child &child : m_list)
        child.sizer = pick(child.rect.size());
    emit splitterMoved(pos, index);
}

void CPSplitter::equalizeSizes()
{
    if (count() == 0)
        return;
    setSizes(SplitTree::equalSizes(count(), width(), handleWidth(), m_pendingWidth));
    m_writeStoredSizes = false;
    m_pendingWidth = 0;
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

    // Children are built hidden and shown together at the end, so that none
    // is asked for its size hints before its state is restored; they are laid
    // out once, when the splitter is shown or asked for its sizes.
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
