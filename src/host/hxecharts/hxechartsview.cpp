#include "hxechartsview.h"
#include "hxechartsview_p.h"

#include "zhphostlog.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QTimer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QFileDialog>
#include <QImage>
#include <QImageWriter>
#include <QJsonDocument>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QWebChannel>

#include <algorithm>

namespace HXEcharts {

namespace {

const QUrl kPageUrl(QStringLiteral("qrc:/hxecharts/chartview.html"));

// JSON is a JavaScript expression; options and maps travel as such.
QString toScript(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QString toScript(const QString &text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// The toolbox features of an option, in the order of the first toolbox.
QStringList toolboxFeatures(const QJsonObject &option)
{
    const QJsonValue toolbox = option.value(QStringLiteral("toolbox"));
    const QJsonObject first = toolbox.isArray() ? toolbox.toArray().first().toObject() : toolbox.toObject();
    return first.value(QStringLiteral("feature")).toObject().keys();
}

} // namespace

HXEChartsPage::HXEChartsPage(QObject *parent)
    : QWebEnginePage(parent)
    , m_bridge(new HXEChartsBridge(this))
{
    auto *channel = new QWebChannel(this);
    channel->registerObject(QStringLiteral("host"), m_bridge);
    setWebChannel(channel);
    connect(this, &QWebEnginePage::loadFinished, this, [this](bool ok) { m_loaded = ok; });
    load(kPageUrl);
}

void HXEChartsPage::setView(HXEChartsView *view)
{
    m_view = view;
    m_bridge->setView(view);
}

namespace {

// Pages kept loaded for the next chart views. Loading the page (and
// compiling the chart script in it) is most of what a new chart costs, so a
// page of charts opens with views that can draw at once. The pool refills
// once the charts have been quiet for a while, a page per processor at a
// time: a page loading meanwhile would take the processor from the charts
// being drawn.
constexpr int kSparePages = 8;
constexpr int kQuietMs = 400;
// A new view waits for its first drawing; for this long at most it holds the refill back.
constexpr qint64 kFirstDrawMs = 3000;
QList<QPointer<HXEChartsPage>> s_spares;
QHash<const HXEChartsView *, qint64> s_undrawn; // view -> when it was made
QElapsedTimer s_clock;
QList<QPointer<HXEChartsPage>> s_loading; // spares whose load has not finished
QPointer<QTimer> s_refill;
bool s_poolClosed = false;

void releaseSpares()
{
    s_poolClosed = true;
    for (const QPointer<HXEChartsPage> &page : qAsConst(s_spares))
        delete page.data();
    s_spares.clear();
}

void postponeRefill();
void refillWhenQuiet();

void refill(int parallel)
{
    if (s_poolClosed)
        return;
    for (auto it = s_undrawn.begin(); it != s_undrawn.end();)
        it = s_clock.elapsed() - it.value() > kFirstDrawMs ? s_undrawn.erase(it) : std::next(it);
    if (!s_undrawn.isEmpty()) {
        postponeRefill();
        return;
    }
    s_spares.removeAll(QPointer<HXEChartsPage>());
    // A spare taken by a view no longer counts as loading for the pool.
    s_loading.erase(std::remove_if(s_loading.begin(), s_loading.end(),
                                   [](const QPointer<HXEChartsPage> &p) { return !s_spares.contains(p); }),
                    s_loading.end());
    while (s_loading.size() < parallel && s_spares.size() < kSparePages) {
        auto *page = new HXEChartsPage(nullptr);
        s_spares.append(page);
        s_loading.append(page);
        QObject::connect(page, &QWebEnginePage::loadFinished, page, [page] {
            if (!s_loading.removeOne(page))
                return;
            // The next one, unless the charts have become busy again meanwhile.
            if (s_refill && !s_refill->isActive())
                refillWhenQuiet();
        });
    }
}

void refillWhenQuiet()
{
    refill(QThread::idealThreadCount());
}

// The refill waits until the charts have been quiet for kQuietMs.
void postponeRefill()
{
    if (s_poolClosed || !QCoreApplication::instance())
        return;
    if (!s_refill) {
        // The spares go before the web engine's profile does: routines run in
        // the reverse order of their registration, and a page (hence the
        // profile) exists by now.
        qAddPostRoutine(releaseSpares);
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, releaseSpares);
        s_refill = new QTimer(QCoreApplication::instance());
        s_refill->setSingleShot(true);
        s_refill->setInterval(kQuietMs);
        QObject::connect(s_refill.data(), &QTimer::timeout, refillWhenQuiet);
    }
    s_refill->start();
}

} // namespace

HXEChartsPage *HXEChartsPage::takeSparePage()
{
    HXEChartsPage *page = nullptr;
    // The oldest spare is the most likely to have loaded.
    while (!s_spares.isEmpty() && !page) {
        page = s_spares.takeFirst().data();
        if (page && page->lifecycleState() != LifecycleState::Active) {
            delete page;
            page = nullptr;
        }
    }
    qCDebug(lcHost) << "chart page from the pool:" << (page ? (page->hasLoaded() ? "loaded" : "loading") : "none");
    if (!page)
        page = new HXEChartsPage(nullptr);
    postponeRefill();
    return page;
}

void HXEChartsPage::recycle(HXEChartsPage *page, QObject *view)
{
    s_spares.removeAll(QPointer<HXEChartsPage>());
    if (s_poolClosed || !page->hasLoaded() || page->lifecycleState() != LifecycleState::Active
        || s_spares.size() >= kSparePages)
        return;
    QObject::disconnect(page, nullptr, view, nullptr);
    page->setView(nullptr);
    page->setParent(nullptr);
    page->runJavaScript(QStringLiteral("zhpChart.reset();"));
    s_spares.append(page);
}

void HXEChartsPage::fillPool()
{
    // One page for the first chart; the web engine's profile must exist
    // before postponeRefill() registers the release.
    refill(1);
    postponeRefill();
}

void HXEChartsPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                             int lineNumber, const QString &sourceID)
{
    if (level == ErrorMessageLevel) {
        const QString where = sourceID.isEmpty() ? QString()
                                                 : QStringLiteral(" (%1:%2)").arg(QUrl(sourceID).fileName()).arg(lineNumber);
        if (m_view)
            m_view->reportScriptError(message + where);
        return;
    }
    const QString name = m_view ? m_view->logName() : QString();
    if (level == WarningMessageLevel)
        qCInfo(lcHost).noquote() << "chart page" << name << "warning:" << message;
    else
        qCDebug(lcHost).noquote() << "chart page" << name << message;
}

HXEChartsBridge::HXEChartsBridge(QObject *parent)
    : QObject(parent)
{
}

void HXEChartsBridge::popup()
{
    if (!m_view)
        return;
    Q_EMIT m_view->popupRequested();
    if (!m_view->isStandalone())
        m_view->popup();
}

HXEChartsView::HXEChartsView(QWidget *parent, const QJsonArray &extra)
    : QWebEngineView(parent)
{
    for (const QJsonValue &entry : extra) {
        if (entry.isString())
            m_scripts.append(entry.toString());
        else if (entry.isObject())
            setGeoJson(QJsonArray{entry});
    }

    HXEChartsPage *page = HXEChartsPage::takeSparePage();
    if (!s_clock.isValid())
        s_clock.start();
    s_undrawn.insert(this, s_clock.elapsed());
    page->setParent(this);
    page->setView(this);
    m_bridge = page->bridge();
    setPage(page);
    connect(page, &QWebEnginePage::loadFinished, this, &HXEChartsView::onLoadFinished);
    // A page that has loaded already is handed over as a fresh load would be: after the constructor.
    if (page->hasLoaded())
        QMetaObject::invokeMethod(this, [this, generation = m_generation] {
            if (m_generation == generation && !m_ready)
                onLoadFinished(true);
        }, Qt::QueuedConnection);
}

HXEChartsView::~HXEChartsView()
{
    s_undrawn.remove(this);
    // Loading a page costs far more than clearing one.
    if (auto *own = qobject_cast<HXEChartsPage *>(page()); own && own->parent() == this && m_ready)
        HXEChartsPage::recycle(own, this);
}

void HXEChartsView::preparePages()
{
    HXEChartsPage::fillPool();
}

void HXEChartsView::addCharts(const QJsonObject &option, bool update)
{
    m_lastOption = option;
    m_hasOption = true;
    if (m_ready)
        draw(update);
}

void HXEChartsView::setGeoJson(const QJsonArray &maps)
{
    for (const QJsonValue &entry : maps) {
        const QJsonObject map = entry.toObject();
        const QString key = map.value(QStringLiteral("key")).toString();
        if (key.isEmpty()) {
            qCWarning(lcHost).noquote() << "chart view" << logName() << "ignores a map without a key";
            continue;
        }
        setGeoJson(key, map.value(QStringLiteral("value")).toObject());
    }
}

void HXEChartsView::setGeoJson(const QString &key, const QJsonObject &geoJson)
{
    bool replaced = false;
    for (auto &map : m_maps) {
        if (map.first == key) {
            map.second = geoJson;
            replaced = true;
        }
    }
    if (!replaced)
        m_maps.append({key, geoJson});
    if (!m_ready)
        return;
    registerMap(key, geoJson);
    // A chart drawn before its map arrived is drawn again over it.
    if (m_hasOption)
        draw(true);
}

QStringList HXEChartsView::geoMapKeys() const
{
    QStringList keys;
    for (const auto &map : m_maps)
        keys.append(map.first);
    return keys;
}

void HXEChartsView::setStandalone(bool standalone)
{
    if (m_standalone == standalone)
        return;
    m_standalone = standalone;
    if (!m_ready)
        return;
    runScript(QStringLiteral("zhpChart.setStandalone(%1);").arg(standalone ? QLatin1String("true") : QLatin1String("false")));
    if (m_hasOption)
        draw(true);
}

void HXEChartsView::setContainerObjectName(const QString &name)
{
    m_containerObjectName = name;
    setProperty("containerObjectName", name);
}

void HXEChartsView::resetWebView(bool clear)
{
    if (clear) {
        m_lastOption = QJsonObject();
        m_hasOption = false;
    }
    m_ready = false;
    ++m_generation;
    page()->load(kPageUrl);
}

void HXEChartsView::onLoadFinished(bool ok)
{
    if (!ok) {
        qCWarning(lcHost).noquote() << "chart view" << logName() << "could not load its page";
        return;
    }
    m_ready = true;
    if (m_standalone)
        runScript(QStringLiteral("zhpChart.setStandalone(true);"));
    for (const QString &script : qAsConst(m_scripts))
        runScript(script);
    for (const auto &map : qAsConst(m_maps))
        registerMap(map.first, map.second);
    if (m_hasOption)
        draw(false);
    Q_EMIT chartReady();
}

void HXEChartsView::draw(bool update)
{
    const QString script = QStringLiteral("zhpChart.show(%1, %2);")
                               .arg(toScript(m_lastOption), update ? QLatin1String("true") : QLatin1String("false"));
    QPointer<HXEChartsView> self(this);
    const int generation = m_generation;
    QElapsedTimer elapsed;
    elapsed.start();
    page()->runJavaScript(script, [self, generation, elapsed](const QVariant &result) {
        // A reload in between drops the answer: the new page draws again itself.
        if (!self || self->m_generation != generation)
            return;
        qCDebug(lcHost).noquote() << "chart view" << self->logName() << (result.toBool() ? "drew" : "could not draw")
                                  << "its option in" << elapsed.elapsed() << "ms";
        s_undrawn.remove(self);
        postponeRefill();
        Q_EMIT self->chartDrawn(result.toBool());
    });
}

void HXEChartsView::registerMap(const QString &key, const QJsonObject &geoJson)
{
    runScript(QStringLiteral("zhpChart.registerMap(%1, %2);").arg(toScript(key), toScript(geoJson)));
}

void HXEChartsView::runScript(const QString &script)
{
    page()->runJavaScript(script);
}

void HXEChartsView::reportScriptError(const QString &message)
{
    qCWarning(lcHost).noquote() << "chart view" << logName() << "script error:" << message;
    Q_EMIT scriptError(message);
}

QString HXEChartsView::logName() const
{
    return m_containerObjectName.isEmpty() ? QStringLiteral("-") : m_containerObjectName;
}

QImage HXEChartsView::chartImage()
{
    return grab().toImage();
}

bool HXEChartsView::saveToImage(const QString &fileName)
{
    const QImage image = chartImage();
    QImageWriter writer(fileName, "png");
    if (image.isNull() || !writer.write(image)) {
        qCWarning(lcHost).noquote() << "chart view" << logName() << "could not save the chart to" << fileName
                                    << (image.isNull() ? QStringLiteral("(no picture)") : writer.errorString());
        return false;
    }
    return true;
}

void HXEChartsView::saveToImage()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString proposed = QDir(folder).filePath(
        QStringLiteral("图表_%1.png").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"))));
    QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("保存图片"), proposed,
                                                    QStringLiteral("PNG 图片(*.png)"));
    if (fileName.isEmpty())
        return;
    if (!fileName.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        fileName += QLatin1String(".png");
    saveToImage(fileName);
}

void HXEChartsView::showDataView()
{
    if (m_ready)
        runScript(QStringLiteral("zhpChart.showDataView();"));
}

void HXEChartsView::popup()
{
    auto *window = new HXEChartsView(nullptr, QJsonArray());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->m_scripts = m_scripts;
    window->m_maps = m_maps;
    window->setStandalone(true);
    window->setContainerObjectName(m_containerObjectName);
    window->setWindowTitle(QStringLiteral("图表"));
    if (m_hasOption)
        window->addCharts(m_lastOption, false);
    window->resize(size().expandedTo(QSize(800, 500)));
    window->show();
}

QMenu *HXEChartsView::createChartMenu(QWidget *parent)
{
    const QStringList features = toolboxFeatures(m_lastOption);
    auto *menu = new QMenu(parent);
    if (features.contains(QLatin1String("dataView")))
        menu->addAction(QStringLiteral("数据视图"), this, &HXEChartsView::showDataView);
    if (features.contains(QLatin1String("saveAsImage")))
        menu->addAction(QStringLiteral("保存图片"), this, qOverload<>(&HXEChartsView::saveToImage));
    if (features.contains(QLatin1String("myPopup")) && !m_standalone)
        menu->addAction(QStringLiteral("弹出窗口"), this, &HXEChartsView::popup);
    if (menu->isEmpty()) {
        delete menu;
        return nullptr;
    }
    return menu;
}

void HXEChartsView::contextMenuEvent(QContextMenuEvent *event)
{
    // The browser's own menu (back, reload, view source) means nothing on a chart.
    QMenu *menu = createChartMenu(this);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace HXEcharts
