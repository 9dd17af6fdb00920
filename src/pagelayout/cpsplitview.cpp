#include "cpsplitview.h"

#include "common/logging.h"
#include "contentformat.h"
#include "cpsplititem.h"
#include "cpsplitter.h"
#include "settingbutton.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QSet>

namespace HXCPControls {

namespace {
QMutex s_registryMutex;
QSet<CPSplitView *> s_registry;

// Maps are equal when they hold the same keys in the same order with equal values.
bool sameArgs(const QVariantMap &a, const QVariantMap &b)
{
    if (a.size() != b.size())
        return false;
    for (auto ia = a.cbegin(), ib = b.cbegin(); ia != a.cend(); ++ia, ++ib) {
        if (ia.key() != ib.key() || ia.value() != ib.value())
            return false;
    }
    return true;
}
} // namespace

CPSplitView::CPSplitView(QWidget *parent)
    : QFrame(parent)
    , m_layout(new QHBoxLayout(this))
{
    {
        QMutexLocker lock(&s_registryMutex);
        s_registry.insert(this);
    }
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    setMinimumSize(20, 20);
    setProperty("zhpObj", QVariant::fromValue<QWidget *>(this));
    setProperty("editable", m_editModel);

    m_resetTimer.setSingleShot(true);
    m_resetTimer.setInterval(200);
    connect(&m_resetTimer, &QTimer::timeout, this, &CPSplitView::resetChartViews);
}

CPSplitView::~CPSplitView()
{
    {
        QMutexLocker lock(&s_registryMutex);
        s_registry.remove(this);
    }
    QMutexLocker lock(&m_chartMutex);
    m_destroying = true;
    m_chartViews.clear();
}

bool CPSplitView::isAlive(CPSplitView *view)
{
    QMutexLocker lock(&s_registryMutex);
    return view && s_registry.contains(view);
}

void CPSplitView::notifyChartViewReset(CPSplitView *view)
{
    if (!isAlive(view))
        return;
    if (view->m_resetTimer.isActive())
        view->m_resetTimer.stop();
    view->m_resetTimer.start();
}

CPSplitView *CPSplitView::ancestorOf(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (auto *view = qobject_cast<CPSplitView *>(w))
            return view;
    }
    return nullptr;
}

void CPSplitView::registerChartView(QWidget *view)
{
    QMutexLocker lock(&m_chartMutex);
    if (m_destroying || !view)
        return;
    m_chartViews.append(view);
}

void CPSplitView::unregisterChartView(QWidget *view)
{
    {
        QMutexLocker lock(&m_chartMutex);
        if (m_destroying)
            return;
        m_chartViews.removeAll(view);
    }
    notifyChartViewReset(this);
}

QList<QWidget *> CPSplitView::chartViews() const
{
    QMutexLocker lock(&m_chartMutex);
    QList<QWidget *> views;
    for (const QPointer<QWidget> &v : m_chartViews) {
        if (v)
            views.append(v);
    }
    return views;
}

void CPSplitView::resetChartViews()
{
    for (QWidget *view : chartViews())
        QMetaObject::invokeMethod(view, "resetWebView", Q_ARG(bool, false));
}

void CPSplitView::setRootItem(QWidget *item)
{
    if (!item) {
        qCWarning(lcPageLayout, "set root item failed:newitem is nullptr");
        return;
    }
    if (!qobject_cast<CPSplitItem *>(item) && !qobject_cast<CPSplitter *>(item)) {
        qCWarning(lcPageLayout, "set root item failed:unknow root item");
        return;
    }
    if (item == m_root) {
        qCWarning(lcPageLayout, "set root item failed:the same instance as the root item");
        return;
    }
    if (m_root) {
        m_layout->removeWidget(m_root);
        m_root->hide();
        m_root->deleteLater();
    }
    m_root = item;
    if (item->parentWidget() != this)
        item->setParent(this);
    // The layout shows the new root on the next turn of the event loop, after
    // the caller has restored it, so that a restored item applies its state.
    m_layout->addWidget(item);
}

QWidget *CPSplitView::takeRootItem()
{
    QWidget *root = m_root;
    if (root)
        m_layout->removeWidget(root);
    m_root = nullptr;
    return root;
}

void CPSplitView::setPadID(const QString &padID)
{
    if (padID == m_padID)
        return;
    m_padID = padID;
    emit padIDChanged(m_padID);
}

void CPSplitView::setZhpID(const QString &zhpID)
{
    if (zhpID == m_zhpID)
        return;
    m_zhpID = zhpID;
    emit zhpIDChanged(m_zhpID);
}

void CPSplitView::setEditModel(bool editModel)
{
    if (editModel == m_editModel)
        return;
    m_editModel = editModel;
    setProperty("editable", m_editModel);
    repolish(this);
    emit editModelChanged(m_editModel);
    for (CPSplitItem *item : findChildren<CPSplitItem *>())
        item->setEditModel(m_editModel);
}

void CPSplitView::setAdjustable(bool adjustable)
{
    if (adjustable == m_adjustable)
        return;
    m_adjustable = adjustable;
    emit adjustableChanged(m_adjustable);
    for (CPSplitter *splitter : findChildren<CPSplitter *>())
        splitter->setHandlesEnabled(m_adjustable);
}

void CPSplitView::setZhpArgs(const QVariantMap &args)
{
    if (sameArgs(args, m_zhpArgs))
        return;
    m_zhpArgs = args;
    emit zhpArgsChanged(m_zhpArgs);
}

void CPSplitView::pushDownModes()
{
    for (CPSplitItem *item : findChildren<CPSplitItem *>())
        item->setEditModel(m_editModel);
    for (CPSplitter *splitter : findChildren<CPSplitter *>())
        splitter->setHandlesEnabled(m_adjustable);
}

void CPSplitView::save(QVariantMap &map)
{
    map.insert(QStringLiteral("version"), QStringLiteral("1.0"));
    map.insert(QStringLiteral("format"), QStringLiteral("json"));
    map.insert(QStringLiteral("date"), QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmzz")));
    map.insert(QStringLiteral("zhpArgs"), m_zhpArgs);
    map.insert(QStringLiteral("padID"), m_padID);
    map.insert(QStringLiteral("zhpID"), m_zhpID);
    map.insert(QStringLiteral("rootItemType"),
               m_root ? QString::fromLatin1(m_root->metaObject()->className()) : QString());
    QVariantMap rootObj;
    if (auto *memory = qobject_cast<IWKMemory *>(m_root.data()))
        memory->save(rootObj);
    map.insert(QStringLiteral("rootObj"), rootObj);
}

void CPSplitView::restore(const QVariantMap &map)
{
    const QString rootItemType = map.value(QStringLiteral("rootItemType")).toString();
    setZhpID(map.value(QStringLiteral("zhpID")).toString());
    const QVariant padID = map.value(QStringLiteral("padID"));
    if (map.contains(QStringLiteral("padID")) && !padID.isNull())
        setPadID(padID.toString());
    setZhpArgs(map.value(QStringLiteral("zhpArgs")).toMap());
    const QVariantMap rootObj = map.value(QStringLiteral("rootObj")).toMap();

    QWidget *root = nullptr;
    if (rootItemType == QLatin1String(kSplitterClass)) {
        auto *splitter = new CPSplitter(this, this);
        setRootItem(splitter);
        splitter->setHandlesEnabled(m_adjustable);
        root = splitter;
    } else {
        auto *item = new CPSplitItem(this);
        item->setEditModel(m_editModel);
        setRootItem(item);
        root = item;
    }
    if (auto *memory = qobject_cast<IWKMemory *>(root))
        memory->restore(rootObj);
    pushDownModes();
}

} // namespace HXCPControls
