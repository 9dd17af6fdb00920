#include "wkapplication.h"

#include "zhphostlog.h"

#include <QApplication>
#include <QWidget>

static QPointer<QWidget> s_mainWindow;

QWidget *WKApplication::wkmainWindow()
{
    if (s_mainWindow)
        return s_mainWindow;
    // Without an explicit main window, the first visible top-level window serves.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isWindow() && w->isVisible() && !w->windowFlags().testFlag(Qt::Popup))
            return w;
    }
    qCWarning(lcHost) << "wkmainWindow: no main window";
    return nullptr;
}

void WKApplication::setMainWindow(QWidget *window)
{
    s_mainWindow = window;
}
