#include "apphost.h"

#include "charts/cpindexchartcomponent.h"
#include "indexdata/cpindexdatacomponent.h"
#include "indexdata/cpmultiindexdatacomponent.h"
#include "pagelayout/cpsplititem.h"
#include "wk/wkfactory.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QWidget>

#include <cstdio>

#include <unistd.h>

namespace AppHost {

void prepareWebEngine(bool headless)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (!headless)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray(flags + " --disable-gpu").trimmed());
}

void dismissMessageBoxes(QObject *owner, std::function<void()> onBox)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [onBox] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "%s: %s: %s\n", qPrintable(QCoreApplication::applicationName()),
                         qPrintable(box->windowTitle()), qPrintable(box->text()));
            box->accept();
            if (onBox)
                onBox();
        }
    });
    timer->start(50);
}

void registerComponents()
{
    // The tab container registers itself when the library loads; the host
    // registers the other components under their class names, which stored
    // pages use as content URLs.
    WKFactory<QWidget>::registerClass<HXCPControls::CPIndexDataComponent>("CPIndexDataComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPMultiIndexDataComponent>("CPMultiIndexDataComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPIndexChartComponent>("CPIndexChartComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPIndexMapChartComponent>("CPIndexMapChartComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPGlobalMarcoChartComponent>("CPGlobalMarcoChartComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPMarcoChartComponent>("CPMarcoChartComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPMarcoIndustryChartComponent>("CPMarcoIndustryChartComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPPlattsChartComponent>("CPPlattsChartComponent");
    WKFactory<QWidget>::registerClass<HXCPControls::CPQuoteIndexChartComponent>("CPQuoteIndexChartComponent");
}

int pendingVisibleItems(QWidget *root)
{
    int pending = 0;
    for (HXCPControls::CPSplitItem *item : root->findChildren<HXCPControls::CPSplitItem *>()) {
        if (item->isVisible() && item->restorePending())
            ++pending;
    }
    return pending;
}

bool waitUntilSettled(QWidget *root, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    int quietRounds = 0;
    int lastCount = -1;
    while (timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const int items = root->findChildren<HXCPControls::CPSplitItem *>().size();
        const bool quiet = pendingVisibleItems(root) == 0 && items == lastCount;
        lastCount = items;
        quietRounds = quiet ? quietRounds + 1 : 0;
        if (quietRounds >= 3)
            return true;
        QThread::msleep(5);
    }
    return false;
}

bool readInput(const QString &path, QByteArray *data, QString *error)
{
    QFile file;
    const bool ok = path == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!ok) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    *data = file.readAll();
    return true;
}

} // namespace AppHost
