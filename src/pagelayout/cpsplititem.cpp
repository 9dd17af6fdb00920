#include "cpsplititem.h"

#include "common/logging.h"
#include "componentfactory.h"
#include "contentformat.h"
#include "cpsplitter.h"
#include "cpsizepolicysettings.h"
#include "cpsplitview.h"
#include "editor/cpbasedialog.h"
#include "settingbutton.h"
#include "splittree.h"
#include "wk/wkcustommenu.h"
#include "wk/wkeventbus.h"

#include <QApplication>
#include <QDataStream>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QSet>
#include <QToolButton>
#include <QUuid>

#include <cmath>

namespace HXCPControls {

namespace {
const QString kMimeType = QStringLiteral("txt/x-split-item");

int beginDragType()
{
    static const int type = WKEvent::typeForStr(QStringLiteral("CPSplitItem#BeginDrag"));
    return type;
}

int endDragType()
{
    static const int type = WKEvent::typeForStr(QStringLiteral("CPSplitItem#EndDrag"));
    return type;
}

// The children's current sizes along their splitter.
QList<int> extents(const CPSplitter *splitter)
{
    QList<int> sizes;
    for (int i = 0; i < splitter->count(); ++i) {
        const QWidget *child = splitter->widget(i);
        sizes.append(splitter->orientation() == Qt::Vertical ? child->height() : child->width());
    }
    return sizes;
}

bool isTabContainer(const QWidget *w)
{
    return w && w->inherits(kTabWidgetClass);
}

QSize boundedSize(const QSize &s)
{
    return QSize(qMin(s.width(), QWIDGETSIZE_MAX), qMin(s.height(), QWIDGETSIZE_MAX));
}

// One subscriber on the host event bus for every item: it hands the drag
// events to the live items, so that an item joins and leaves in constant time
// however many items a page holds.
class BusRelay : public QObject
{
public:
    static BusRelay *instance()
    {
        static BusRelay *relay = [] {
            auto *r = new BusRelay;
            WKEventBus::instance()->addSubscriber(r);
            return r;
        }();
        return relay;
    }
    void add(CPSplitItem *item) { m_items.insert(item); }
    void remove(CPSplitItem *item) { m_items.remove(item); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == WKEventBus::instance()->mEventObj
            && (event->type() == beginDragType() || event->type() == endDragType())) {
            const QSet<CPSplitItem *> items = m_items;
            for (CPSplitItem *item : items)
                QCoreApplication::sendEvent(item, event);
        }
        return false;
    }

private:
    QSet<CPSplitItem *> m_items;
};

// The URL that a palette drag carries; invalid when the data is not of that format.
QUrl droppedUrl(const QMimeData *mime)
{
    QUrl url;
    QByteArray data = mime->data(kMimeType);
    QDataStream stream(&data, QIODevice::ReadOnly);
    stream >> url;
    return url;
}
} // namespace

CPSplitItem::CPSplitItem(QWidget *parent)
    : QFrame(parent)
    , m_splitView(CPSplitView::ancestorOf(parent))
    , m_layout(new QGridLayout(this))
    , m_settingBtn(makeSettingButton(this))
{
    setObjectName(QStringLiteral("CPSplitItem"));
    setWindowTitle(QStringLiteral("----"));
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setProperty("inTab", isTabContainer(parent));
    setProperty("focusIn", false);
    setProperty("dragIn", false);
    for (QWidget *w = parent; w; w = w->parentWidget()) {
        const QVariant obj = w->property("zhpObj");
        if (obj.isValid()) {
            m_zhpObj = obj.value<QWidget *>();
            break;
        }
    }

    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    connect(m_settingBtn, &QToolButton::clicked, this, &CPSplitItem::showSettingMenu);

    static const int indicatorType = qRegisterMetaType<HXCPControls::Indicator>("HXCPControls::Indicator");
    Q_UNUSED(indicatorType)

    installEventFilter(this);
    BusRelay::instance()->add(this);
    connect(qApp, &QApplication::focusChanged, this, &CPSplitItem::onFocusChanged);
    updateDecorations();
}

CPSplitItem::~CPSplitItem()
{
    BusRelay::instance()->remove(this);
}

CPSplitView *CPSplitItem::splitView() const
{
    return m_splitView;
}

void CPSplitItem::setEditModel(bool editModel)
{
    if (editModel == m_editModel)
        return;
    m_editModel = editModel;
    emit editModelChanged(m_editModel);
    updateDecorations();
    // Style sheets select on the mode; they only see the change once re-polished.
    repolish(this);
}

void CPSplitItem::setZhpObj(QWidget *obj)
{
    if (obj == m_zhpObj)
        return;
    m_zhpObj = obj;
    emit zhpObjChanged(obj);
}

bool CPSplitItem::parentIsSplitNode() const
{
    QWidget *p = parentWidget();
    return qobject_cast<CPSplitView *>(p) || qobject_cast<CPSplitter *>(p);
}

CPSplitterIndicator *CPSplitItem::indicator() const
{
    if (!m_indicator) {
        auto *self = const_cast<CPSplitItem *>(this);
        m_indicator = new CPSplitterIndicator(self);
        m_indicator->resize(m_indicator->minimumSize());
        // Queued: deleting the item must not happen inside its own button's click.
        connect(m_indicator, &CPSplitterIndicator::signalSplitBtnClicked, self, &CPSplitItem::onIndicator,
                Qt::QueuedConnection);
        self->placeIndicator();
        self->updateDecorations();
    }
    return m_indicator;
}

void CPSplitItem::placeIndicator()
{
    const QSize is = m_indicator->size();
    m_indicator->move(qRound((width() - is.width()) * 0.5), qRound((height() - is.height()) * 0.5));
}

void CPSplitItem::updateDecorations()
{
    // A page restored unshown may hold many items: each makes its indicator
    // only once it is shown, sparing the widgets (and the events they post).
    const bool indicatorShown = m_editModel && parentIsSplitNode();
    if (!m_indicator && indicatorShown && isVisible()) {
        indicator();
        return;
    }
    // Raising costs time with every sibling up the tree; it is only needed
    // when something came above the decorations.
    const QObjectList &kids = children();
    const bool onTop = !kids.isEmpty() && kids.last() == m_settingBtn
                       && (!m_indicator || (kids.size() >= 2 && kids.at(kids.size() - 2) == m_indicator));
    if (!onTop) {
        if (m_indicator)
            m_indicator->raise();
        m_settingBtn->raise();
    }
    m_settingBtn->setVisible(m_editModel);
    if (m_indicator)
        m_indicator->setVisible(indicatorShown);
    if (m_missing)
        m_missing->setVisible(m_editModel);
}

QString CPSplitItem::missingComponent() const
{
    return m_missing ? componentKey(m_url) : QString();
}

// A component this build cannot create keeps its stored state: the item
// writes it back as it came, so that a page saved here loses nothing.
void CPSplitItem::setMissing(const QVariant &child)
{
    m_keptChild = child;
    if (m_content || m_url.isEmpty()) {
        delete m_missing;
        m_missing = nullptr;
        return;
    }
    qCDebug(lcPageLayout).noquote() << "no component" << componentKey(m_url) << "in this build; its state is kept";
    if (!m_missing) {
        m_missing = new QLabel(this);
        m_missing->setObjectName(QStringLiteral("missingComponent"));
        // Below the indicator, which sits in the middle.
        m_missing->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        m_missing->setWordWrap(true);
        m_missing->setContentsMargins(12, 0, 12, 24);
        m_missing->setStyleSheet(QStringLiteral("color: rgb(150, 150, 150);"));
        m_layout->addWidget(m_missing, 0, 0);
    }
    m_missing->setText(QStringLiteral("此版本没有组件“%1”，其设置已保留").arg(componentKey(m_url)));
    updateDecorations();
}

void CPSplitItem::setDynamicState(const char *name, bool on)
{
    if (property(name).toBool() == on)
        return;
    setProperty(name, on);
    repolish(this);
}

// ---------------------------------------------------------------------------
// Component

void CPSplitItem::setContentUrl(const QUrl &url)
{
    if (url == m_url)
        return;
    m_url = url;
    QWidget *component = createComponent(url, this);
    if (!component)
        return;

    connect(component, &QWidget::windowTitleChanged, this, &QWidget::windowTitleChanged);
    if (component != m_content) {
        QWidget *old = m_content ? takeContent() : nullptr;
        m_content = component;
        m_layout->addWidget(component, 0, 0);
        setAcceptDrops(!isTabContainer(component));
        m_url = component->property("url").toUrl();
        setMissing(QVariant());
        updateDecorations();
        emit contentChanged();
        if (old)
            old->deleteLater();
    }
    if (!component->windowTitle().isEmpty())
        setWindowTitle(component->windowTitle());
}

QWidget *CPSplitItem::takeContent()
{
    QWidget *component = m_content;
    if (component) {
        component->disconnect(this);
        m_layout->removeWidget(component);
        component->setParent(nullptr);
    }
    m_content = nullptr;
    m_url.clear();
    setMissing(QVariant());
    setAcceptDrops(true);
    emit contentChanged();
    return component;
}

// ---------------------------------------------------------------------------
// Content format

void CPSplitItem::restore(const QVariantMap &map)
{
    m_pending = map;
    m_restorePending = true;
}

void CPSplitItem::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    if (!m_indicator)
        updateDecorations();
    if (m_restorePending)
        applyStored();
}

void CPSplitItem::applyStored()
{
    m_restorePending = false;
    const QVariantMap map = std::move(m_pending);
    m_pending.clear();
    if (map.isEmpty())
        return;

    setContentUrl(map.value(QStringLiteral("url")).toUrl());

    const QVariant title = map.value(QStringLiteral("title"));
    if (title.userType() == QMetaType::QString && !title.toString().isEmpty())
        setWindowTitle(title.toString());

    setProperty("ID", map.value(QStringLiteral("id")));

    if (m_url.isValid() && m_content) {
        if (auto *memory = qobject_cast<IWKMemory *>(m_content.data()))
            memory->restore(map.value(QStringLiteral("child")).toMap());
    } else if (!m_content) {
        setMissing(map.value(QStringLiteral("child")));
    }

    const QSize minSize = ContentFormat::textToSize(map.value(QStringLiteral("minSize")).toString());
    if (minSize.isValid() && ContentFormat::isApplicable(minSize))
        setMinimumSize(boundedSize(minSize));
    const QSize maxSize = ContentFormat::textToSize(map.value(QStringLiteral("maxSize")).toString());
    if (maxSize.isValid() && ContentFormat::isApplicable(maxSize))
        setMaximumSize(boundedSize(maxSize));

    QSizePolicy policy = sizePolicy();
    QSizePolicy::Policy p;
    if (ContentFormat::policyFromName(map.value(QStringLiteral("hPolicy")).toString(), &p))
        policy.setHorizontalPolicy(p);
    if (ContentFormat::policyFromName(map.value(QStringLiteral("vPolicy")).toString(), &p))
        policy.setVerticalPolicy(p);
    const QVariant hStretch = map.value(QStringLiteral("hStretch"));
    if (!hStretch.isNull() && hStretch.toInt() != -1)
        policy.setHorizontalStretch(qBound(0, hStretch.toInt(), 255));
    const int vStretch = map.value(QStringLiteral("vStretch")).toInt();
    if (vStretch != -1)
        policy.setVerticalStretch(qBound(0, vStretch, 255));
    setSizePolicy(policy);
    updateDecorations();
}

void CPSplitItem::save(QVariantMap &map)
{
    if (m_restorePending) {
        for (auto it = m_pending.cbegin(); it != m_pending.cend(); ++it)
            map.insert(it.key(), it.value());
        return;
    }

    // The identity: kept as it was stored when it names a UUID, else made once.
    QVariant id = property("ID");
    if (QUuid(id.toString()).isNull()) {
        id = QUuid::createUuid().toString();
        setProperty("ID", id);
    }

    map.insert(QStringLiteral("url"), m_url.toString());
    map.insert(QStringLiteral("id"), id.toString());
    if (m_content && m_url.isValid()) {
        if (auto *memory = qobject_cast<IWKMemory *>(m_content.data())) {
            QVariantMap child;
            memory->save(child);
            map.insert(QStringLiteral("child"), child);
        }
    } else if (!m_content && m_keptChild.isValid()) {
        map.insert(QStringLiteral("child"), m_keptChild);
    }
    map.insert(QStringLiteral("minSize"), ContentFormat::sizeToText(minimumSize()));
    map.insert(QStringLiteral("maxSize"), ContentFormat::sizeToText(maximumSize()));
    const QSizePolicy policy = sizePolicy();
    map.insert(QStringLiteral("hPolicy"), ContentFormat::policyName(policy.horizontalPolicy()));
    map.insert(QStringLiteral("vPolicy"), ContentFormat::policyName(policy.verticalPolicy()));
    map.insert(QStringLiteral("hStretch"), policy.horizontalStretch());
    map.insert(QStringLiteral("vStretch"), policy.verticalStretch());
    map.insert(QStringLiteral("title"), windowTitle());
}

// ---------------------------------------------------------------------------
// Events

bool CPSplitItem::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
        m_hovered = true;
        update();
        break;
    case QEvent::HoverLeave:
        m_hovered = false;
        update();
        break;
    default:
        break;
    }
    return QFrame::event(event);
}

bool CPSplitItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && (event->type() == beginDragType() || event->type() == endDragType()))
        handleBusEvent(event);
    return QFrame::eventFilter(watched, event);
}

// While the palette drags a component, components that would take drag
// events themselves (web views, tables) are disabled so the items get the drop.
void CPSplitItem::handleBusEvent(QEvent *event)
{
    const int type = event->type();
    if (type != beginDragType() && type != endDragType())
        return;
    if (!m_editModel || !m_content)
        return;
    const QVariant id = static_cast<WKEvent *>(event)->data();
    if (type == beginDragType()) {
        if (findChild<CPSplitItem *>() || isTabContainer(m_content))
            return;
        m_content->setEnabled(false);
        m_content->setProperty("ProcessWKeventID", id);
    } else if (m_content->property("ProcessWKeventID") == id) {
        m_content->setEnabled(true);
    }
}

void CPSplitItem::onFocusChanged(QWidget *, QWidget *now)
{
    const bool inside = now && (now == this || isAncestorOf(now));
    setDynamicState("focusIn", inside && parentIsSplitNode());
}

void CPSplitItem::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const QSize s = size();
    if (!s.isValid())
        return;
    if (m_indicator)
        placeIndicator();
    m_settingBtn->move(s.width() - 5 - m_settingBtn->width(), 3);
}

void CPSplitItem::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (property("inTab").toBool())
        return;

    QPainter painter(this);
    const int w = width();
    const int h = height();
    if (m_content) {
        painter.fillRect(QRect(10, 10, w - 20, h - 20), Qt::white);
        QColor shadow = m_hovered ? QColor(92, 171, 238) : QColor(200, 200, 200);
        for (int k = 0; k < 10; ++k) {
            shadow.setAlpha(qMax(0, int(120 - 50 * std::sqrt(double(k)))));
            painter.setPen(shadow);
            painter.drawRect(10 - k, 10 - k, w + (2 * k - 20), h + (2 * k - 20));
        }
    }
    if (m_editModel) {
        QRect r = contentsRect();
        r.setBottom(int(std::floor(h * 0.5)));
        QFont font = painter.font();
        font.setPixelSize(24);
        painter.setFont(font);
        painter.setPen(QColor(215, 215, 215, 120));
        painter.drawText(r, Qt::AlignCenter, QStringLiteral("请拖入组件"));
    }
}

void CPSplitItem::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasFormat(kMimeType)) {
        event->ignore();
        return;
    }
    event->accept();
    setDynamicState("dragIn", true);
    updateDecorations();
}

void CPSplitItem::dragMoveEvent(QDragMoveEvent *event)
{
    if (!event->mimeData()->hasFormat(kMimeType)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CPSplitItem::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDynamicState("dragIn", false);
    updateDecorations();
    event->accept();
}

void CPSplitItem::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasFormat(kMimeType)) {
        event->ignore();
        return;
    }
    setContentUrl(droppedUrl(event->mimeData()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
    setDynamicState("dragIn", false);
    updateDecorations();
}

// ---------------------------------------------------------------------------
// Editing

void CPSplitItem::onIndicator(Indicator indicator)
{
    switch (indicator) {
    case SplitLeft:
        split(Qt::Horizontal, true);
        break;
    case SplitRight:
        split(Qt::Horizontal, false);
        break;
    case SplitTop:
        split(Qt::Vertical, true);
        break;
    case SplitBottom:
        split(Qt::Vertical, false);
        break;
    case DeleteLayout:
        deleteItem();
        break;
    }
}

void CPSplitItem::split(Qt::Orientation orientation, bool newItemFirst)
{
    QWidget *parent = parentWidget();
    auto *view = qobject_cast<CPSplitView *>(parent);
    auto *outer = qobject_cast<CPSplitter *>(parent);
    if (!view && !outer)
        return;

    auto *item = new CPSplitItem(this);
    item->setEditModel(m_editModel);
    CPSplitView *owner = m_splitView;
    auto notifyReset = [owner] { CPSplitView::notifyChartViewReset(owner); };

    if (view) {
        auto *splitter = new CPSplitter(orientation, view, view);
        QWidget *root = view->takeRootItem();
        if (!root) {
            qCWarning(lcPageLayout) << "splitPrivate--->failed:" << splitter;
            delete splitter;
            delete item;
            return;
        }
        connect(splitter, &CPSplitter::spliterHandleMoved, view, notifyReset);
        splitter->setPendingWidth(width());
        splitter->addWidget(newItemFirst ? item : root);
        splitter->addWidget(newItemFirst ? root : item);
        splitter->equalizeSizes();
        view->setRootItem(splitter);
    } else if (outer->orientation() != orientation) {
        const int index = outer->indexOf(this);
        auto *splitter = new CPSplitter(orientation, nullptr, nullptr);
        connect(splitter, &CPSplitter::spliterHandleMoved, splitter, notifyReset);
        splitter->setPendingWidth(width());
        outer->replaceWidget(index, splitter);
        splitter->addWidget(newItemFirst ? item : this);
        splitter->addWidget(newItemFirst ? this : item);
        splitter->equalizeSizes();
    } else {
        const int index = outer->indexOf(this);
        const QList<int> sizes = SplitTree::sizesAfterSplit(extents(outer), index, newItemFirst);
        outer->insertWidget(newItemFirst ? index : index + 1, item);
        outer->setSizes(sizes);
    }
    item->setFocus(Qt::OtherFocusReason);
    notifyReset();
}

void CPSplitItem::deleteItem()
{
    auto *splitter = qobject_cast<CPSplitter *>(parentWidget());
    if (!splitter)
        return;

    // The neighbour takes the space: the next child, or the previous one for the last.
    const QList<int> remaining = SplitTree::sizesAfterDelete(extents(splitter), splitter->indexOf(this));
    CPSplitView *owner = m_splitView;

    delete this;

    if (splitter->count() == 0)
        return;
    if (splitter->count() == 1) {
        QWidget *last = splitter->widget(0);
        if (auto *grand = qobject_cast<CPSplitter *>(splitter->parentWidget())) {
            const QList<int> sizes = grand->sizes();
            grand->insertWidget(grand->indexOf(splitter), last);
            delete splitter;
            grand->setSizes(sizes);
        } else if (auto *view = qobject_cast<CPSplitView *>(splitter->parentWidget())) {
            view->setRootItem(last);
            delete splitter;
        }
    } else if (!remaining.isEmpty()) {
        splitter->setSizes(remaining);
    }
    CPSplitView::notifyChartViewReset(owner);
}

QMenu *CPSplitItem::createSettingMenu()
{
    auto *menu = new WKCustomMenu(this);
    initSettingMenu(menu, this);
    return menu;
}

void CPSplitItem::initSettingMenu(QMenu *menu, CPSplitItem *item)
{
    if (!item) {
        qCWarning(lcPageLayout, "initSettingMenu error:the spliter item is nullptr");
        return;
    }
    item->fillSettingMenu(menu);
}

void CPSplitItem::fillSettingMenu(QMenu *menu)
{
    if (m_content && !m_content->actions().isEmpty()) {
        menu->addActions(m_content->actions());
        menu->addSeparator();
    }
    if (parentIsSplitNode()) {
        const struct {
            const char *text;
            QStyle::StandardPixmap icon;
            Indicator indicator;
        } splits[] = {
            {"左切分", QStyle::SP_ArrowLeft, SplitLeft},
            {"上切分", QStyle::SP_ArrowUp, SplitTop},
            {"右切分", QStyle::SP_ArrowRight, SplitRight},
            {"下切分", QStyle::SP_ArrowDown, SplitBottom},
            {"删除布局", QStyle::SP_TitleBarCloseButton, DeleteLayout},
        };
        for (const auto &s : splits) {
            QAction *action = menu->addAction(style()->standardIcon(s.icon), QString::fromUtf8(s.text));
            const Indicator indicator = s.indicator;
            // Queued: a delete must not run inside the menu's own event handling.
            connect(action, &QAction::triggered, this, [this, indicator] {
                QMetaObject::invokeMethod(this, "onIndicator", Qt::QueuedConnection,
                                          Q_ARG(HXCPControls::Indicator, indicator));
            });
        }
        menu->addSeparator();
    }
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("设置大小策略")), &QAction::triggered, this, &CPSplitItem::editSizePolicy);
    if (m_content) {
        menu->addSeparator();
        connect(menu->addAction(QStringLiteral("清空")), &QAction::triggered, this, &CPSplitItem::clearContent);
    }
}

void CPSplitItem::showSettingMenu()
{
    std::unique_ptr<QMenu> menu(createSettingMenu());
    menu->exec(m_settingBtn->mapToGlobal(m_settingBtn->rect().bottomLeft()));
}

void CPSplitItem::editSizePolicy()
{
    auto *form = new CPSizePolicySettings;
    form->setValues(minimumSize(), maximumSize(), sizePolicy(), size());
    CPBaseDialog dialog(this, QStringLiteral("   大小策略设置"), form, QStringLiteral("controls/custompage.css"));
    dialog.setFixedSize(451, 180);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    setMinimumSize(form->minSize());
    setMaximumSize(form->maxSize());
    setSizePolicy(form->policy(sizePolicy()));
}

void CPSplitItem::clearContent()
{
    if (!askConfirmation(this, QStringLiteral("清空"), QStringLiteral("确定要清空布局?")))
        return;
    if (QWidget *component = takeContent())
        component->deleteLater();
    updateDecorations();
}
} // namespace HXCPControls
