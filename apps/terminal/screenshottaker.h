#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace HXCPControls {
class CPCustomPage;
}

// Writes a PNG of a window once its page has arrived and laid out, then quits
// the application. Message boxes that the page opens meanwhile (a failed
// request) are reported on standard error and closed.
class ScreenshotTaker : public QObject
{
    Q_OBJECT
public:
    ScreenshotTaker(QWidget *window, HXCPControls::CPCustomPage *page, const QString &path, bool waitForPageId);

private:
    void poll();
    void shoot();

    QPointer<QWidget> m_window;
    QPointer<HXCPControls::CPCustomPage> m_page;
    QString m_path;
    bool m_waitForPageId;
    bool m_failed = false;
    int m_quietPolls = 0;
    int m_lastItemCount = -1;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
};
