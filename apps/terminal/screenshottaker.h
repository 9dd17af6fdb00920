#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

// Writes a PNG of a window once its page has arrived, laid out and every
// visible chart has drawn, then quits the application. Message boxes that
// the page opens meanwhile (a failed request) are reported on standard
// error and closed.
class ScreenshotTaker : public QObject
{
    Q_OBJECT
public:
    // `arrived` tells whether the pages to show have been loaded (or failed).
    ScreenshotTaker(QWidget *window, std::function<bool()> arrived, const QString &path);

    // Grabs the whole screen instead of the window, popups and menus included.
    void setWholeScreen(bool wholeScreen) { m_wholeScreen = wholeScreen; }
    // Runs `act` once the window has settled, then waits until it settles again.
    void setBeforeShot(std::function<void()> act) { m_beforeShot = std::move(act); }

private:
    void poll();
    void shoot();

    QPointer<QWidget> m_window;
    std::function<bool()> m_arrived;
    std::function<void()> m_beforeShot;
    QString m_path;
    bool m_failed = false;
    bool m_wholeScreen = false;
    int m_quietPolls = 0;
    int m_lastItemCount = -1;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
};
