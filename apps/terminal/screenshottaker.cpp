#include "screenshottaker.h"

#include "apphost.h"
#include "chartdrawwatch.h"

#include "pagelayout/cpsplititem.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

#include <cstdio>

namespace {
const int kPollMs = 50;
// Once nothing changes any more: time for the data to arrive and the charts' drawing animation to end.
const int kQuietPolls = 50;
const int kGiveUpMs = 30000;
}

ScreenshotTaker::ScreenshotTaker(QWidget *window, std::function<bool()> arrived, const QString &path)
    : m_window(window)
    , m_arrived(std::move(arrived))
    , m_path(QFileInfo(path).absoluteFilePath())
{
    AppHost::dismissMessageBoxes(this, [this] { m_failed = true; });
    connect(&m_timer, &QTimer::timeout, this, &ScreenshotTaker::poll);
    m_timer.start(kPollMs);
    m_elapsed.start();
}

void ScreenshotTaker::poll()
{
    if (!m_window)
        return;
    const bool arrived = m_failed || !m_arrived || m_arrived();
    const int items = m_window->findChildren<HXCPControls::CPSplitItem *>().size();
    const bool quiet = arrived && AppHost::pendingVisibleItems(m_window) == 0
                       && ChartDrawWatch::undrawnVisibleCharts(m_window, false) == 0 && items == m_lastItemCount;
    m_lastItemCount = items;
    m_quietPolls = quiet ? m_quietPolls + 1 : 0;
    if (m_quietPolls >= kQuietPolls && m_beforeShot) {
        auto act = std::move(m_beforeShot);
        m_beforeShot = nullptr;
        m_quietPolls = 0;
        // Menus and dialogs run their own event loop; the polls go on inside it.
        QTimer::singleShot(0, this, act);
        return;
    }
    if (m_quietPolls >= kQuietPolls || m_elapsed.elapsed() > kGiveUpMs)
        shoot();
}

void ScreenshotTaker::shoot()
{
    m_timer.stop();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    const QPixmap picture = m_wholeScreen ? m_window->screen()->grabWindow(0) : m_window->grab();
    if (!picture.save(m_path)) {
        std::fprintf(stderr, "zhp-terminal: cannot write %s\n", qPrintable(m_path));
        QApplication::exit(1);
        return;
    }
    std::printf("screenshot: %s\n", qPrintable(m_path));
    std::fflush(stdout);
    QApplication::quit();
}
