// Page switching in a running terminal, with its server warm: the time from
// picking a page to every visible chart of it drawn (each chart view's own
// chartDrawn signal, not a fixed wait), for
//   - the cold start: the main window created until the user's first page is drawn,
//   - the dashboard opened for the first time (its tab did not exist),
//   - the dashboard opened again (closed, then picked again),
//   - switching back to the dashboard's open tab.
// Each case also reports where its time went: until every chart view's page
// (the chart script) had loaded ("ready_ms"), until the last option was handed
// over after the data queries ("option_ms"), and until the last chart drew.
// A page switch must take under one second; the program fails when one does not.
//
//   xvfb-run -a build/bin/bench_pageswitch   (or QT_QPA_PLATFORM=offscreen)

#include "apphost.h"
#include "chartdrawwatch.h"
#include "terminalwindow.h"

#include "hxecharts/hxechartsview.h"
#include "pagelayout/cpcustompage.h"
#include "seeddata.h"
#include "server.h"
#include "wk/wkappconfig.h"
#include "wk/wkapplication.h"
#include "wk/wkserviceconfig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr double LimitMs = 1000.0;

TerminalWindow *g_window = nullptr;
bool g_tooSlow = false;

struct Timing {
    double drawnMs = -1; // every visible chart drawn, items settled
    double readyMs = 0;  // the last chart view's page loaded
    double optionMs = 0; // the last option handed to a chart
    int charts = 0;
};

// Follows the chart views under `root` from `clock`'s start: when each page
// loaded and each option arrived.
struct ChartClock {
    QElapsedTimer clock;
    Timing timing;
    QList<QMetaObject::Connection> connections;

    void watch(QWidget *root)
    {
        for (HXEcharts::HXEChartsView *chart : root->findChildren<HXEcharts::HXEChartsView *>()) {
            if (chart->property("benchWatched").toBool())
                continue;
            chart->setProperty("benchWatched", true);

            connections << QObject::connect(chart, &HXEcharts::HXEChartsView::chartReady, chart, [this] {
                timing.readyMs = qMax(timing.readyMs, clock.nsecsElapsed() / 1e6);
            });
            connections << QObject::connect(chart, &HXEcharts::HXEChartsView::chartDrawn, chart, [this] {
                timing.optionMs = qMax(timing.optionMs, clock.nsecsElapsed() / 1e6);
            });
        }
    }
    ~ChartClock()
    {
        for (const auto &c : connections)
            QObject::disconnect(c);
    }
};

// Runs the event loop for `ms`, sleeping while there is nothing to do: a
// polling loop would take a core from the terminal that it measures.
void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until the page under `root` has settled and every visible chart has drawn.
Timing waitDrawn(QWidget *root, ChartClock &clock, const std::function<QWidget *()> &page)
{
    while (clock.clock.elapsed() < 30000) {
        runEventsFor(5);
        QWidget *p = page();
        if (!p)
            continue;
        clock.watch(p);
        ChartDrawWatch::follow(p);
        const auto *custom = qobject_cast<HXCPControls::CPCustomPage *>(p);
        if (custom && custom->padID().isEmpty())
            continue;
        if (AppHost::pendingVisibleItems(p) == 0 && ChartDrawWatch::visibleCharts(p) > 0
            && ChartDrawWatch::undrawnVisibleCharts(p, true) == 0) {
            clock.timing.drawnMs = clock.clock.nsecsElapsed() / 1e6;
            clock.timing.charts = ChartDrawWatch::visibleCharts(p);
            return clock.timing;
        }
    }
    return clock.timing;
}

void report(benchmark::State &state, const Timing &t, bool limited)
{
    state.SetIterationTime(t.drawnMs / 1000.0);
    state.counters["drawn_ms"] = t.drawnMs;
    state.counters["ready_ms"] = t.readyMs;
    state.counters["option_ms"] = t.optionMs;
    state.counters["charts"] = t.charts;
    if (t.drawnMs < 0) {
        state.SkipWithError("the page never finished drawing");
        g_tooSlow = true;
    } else if (limited && t.drawnMs > LimitMs) {
        g_tooSlow = true;
    }
}

const QString kDashboard = QString::fromLatin1(zhpserver::seed::DashboardPad);

void closeTab(const QString &title)
{
    QTabWidget *tabs = g_window->pageTabs();
    for (int i = tabs->count() - 1; i >= 0; --i) {
        if (tabs->tabText(i) == title)
            emit tabs->tabCloseRequested(i);
    }
}

void BM_ColdStart(benchmark::State &state)
{
    for (auto _ : state) {
        ChartClock clock;
        clock.clock.start();
        g_window = new TerminalWindow;
        WKApplication::setMainWindow(g_window);
        g_window->show();
        g_window->start(true);
        report(state, waitDrawn(g_window, clock, [] { return g_window->currentPage(); }), false);
    }
}

void BM_OpenDashboard(benchmark::State &state)
{
    const bool first = state.range(0) == 0;
    for (auto _ : state) {
        closeTab(QStringLiteral("螺纹钢-价格监测-螺纹钢价格看板"));
        // A user picks the next page some moments later; meanwhile the terminal is idle.
        runEventsFor(3000);
        ChartClock clock;
        clock.clock.start();
        HXCPControls::CPCustomPage *page =
            g_window->openPad(kDashboard, QStringLiteral("螺纹钢-价格监测-螺纹钢价格看板"), false);
        report(state, waitDrawn(page, clock, [page] { return page; }), true);
    }
    if (first)
        state.SetLabel("first time");
}

void BM_SwitchToOpenTab(benchmark::State &state)
{
    HXCPControls::CPCustomPage *dashboard = g_window->openPad(kDashboard, QString(), false);
    {
        ChartClock warm;
        warm.clock.start();
        waitDrawn(dashboard, warm, [dashboard] { return dashboard; });
    }
    QTabWidget *tabs = g_window->pageTabs();
    const int dashboardTab = tabs->indexOf(dashboard);
    for (auto _ : state) {
        tabs->setCurrentIndex(dashboardTab == 0 ? 1 : 0);
        QCoreApplication::processEvents();
        ChartClock clock;
        clock.clock.start();
        g_window->openPad(kDashboard, QString(), false);
        QCoreApplication::processEvents();
        // An open tab has nothing to load: shown and laid out is drawn.
        Timing t;
        t.drawnMs = clock.clock.nsecsElapsed() / 1e6;
        t.charts = ChartDrawWatch::visibleCharts(dashboard);
        report(state, t, true);
    }
}

} // namespace

BENCHMARK(BM_ColdStart)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDashboard)->Arg(0)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDashboard)->Arg(1)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToOpenTab)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    AppHost::prepareWebEngine(qgetenv("QT_QPA_PLATFORM") == "offscreen");
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("zhp.server.info=false"));
    AppHost::registerComponents();
    AppHost::dismissMessageBoxes(&app);

    QTemporaryDir dir;
    zhpserver::Server server;
    zhpserver::Options options;
    options.databasePath = dir.filePath(QStringLiteral("zhp.sqlite"));
    options.seed = true;
    options.logRequests = false;
    QString error;
    if (!server.start(options, &error)) {
        std::fprintf(stderr, "bench_pageswitch: %s\n", qPrintable(error));
        return 1;
    }
    WKServiceConfig::instance()->setHttpUrl(QStringLiteral("servercfg.ini:Global"), server.baseUrl());
    WKAppConfig::instance()->setUserInfo({QString::fromLatin1(zhpserver::seed::SampleUser), QString()});
    QString token;
    if (!server.issueToken(QString::fromLatin1(zhpserver::seed::SampleUser), {QStringLiteral("*")}, QString(), &token, &error)) {
        std::fprintf(stderr, "bench_pageswitch: %s\n", qPrintable(error));
        return 1;
    }
    WKAppConfig::instance()->setAccessToken(token);
    WKAppConfig::instance()->setProductId(QString::fromLatin1(zhpserver::seed::SampleProduct));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_window;
    if (g_tooSlow) {
        std::fprintf(stderr, "bench_pageswitch: a page switch took longer than %.0f ms\n", LimitMs);
        return 1;
    }
    return 0;
}
