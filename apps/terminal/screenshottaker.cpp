#include "screenshottaker.h"

#include "apphost.h"

#include "hxecharts/hxechartsview.h"

#include "pagelayout/cpcustompage.h"
#include "pagelayout/cpsplititem.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
const int kPollMs = 50;
// Once nothing changes any more: time for the data to arrive and the charts' drawing animation to end.
const int kQuietPolls = 50;
const int kGiveUpMs = 30000;
}

ScreenshotTaker::ScreenshotTaker(QWidget *window, HXCPControls::CPCustomPage *page, const QString &path,
                                 bool waitForPageId)
    : m_window(window)
    , m_page(page)
    , m_path(QFileInfo(path).absoluteFilePath())
    , m_waitForPageId(waitForPageId)
{
    AppHost::dismissMessageBoxes(this, [this] { m_failed = true; });
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotTaker::poll);
    m_timer.start(kPollMs);
    m_elapsed.start();
}

void ScreenshotTaker::poll()
{
    if (!m_window || !m_page)
        return;
    const bool arrived = !m_waitForPageId || !m_page->padID().isEmpty() || m_failed;
    const int items = m_window->findChildren<HXCPControls::CPSplitItem *>().size();
    // A chart view draws once its page has loaded.
    int loadingCharts = 0;
    for (HXEcharts::HXEChartsView *chart : m_window->findChildren<HXEcharts::HXEChartsView *>())
        loadingCharts += chart->isVisible() && !chart->isChartReady() ? 1 : 0;
    const bool quiet = arrived && AppHost::pendingVisibleItems(m_window) == 0 && loadingCharts == 0
                       && items == m_lastItemCount;
    m_lastItemCount = items;
    m_quietPolls = quiet ? m_quietPolls + 1 : 0;
    if (m_quietPolls >= kQuietPolls || m_elapsed.elapsed() > kGiveUpMs)
        shoot();
}

void ScreenshotTaker::shoot()
{
    m_timer.stop();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (!m_window->grab().save(m_path)) {
        std::fprintf(stderr, "zhp-terminal: cannot write %s\n", qPrintable(m_path));
        QApplication::exit(1);
        return;
    }
    std::printf("screenshot: %s\n", qPrintable(m_path));
    std::fflush(stdout);
    QApplication::quit();
}
