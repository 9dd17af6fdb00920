#include "apphost.h"

#include "charts/cpindexchartcomponent.h"
#include "indexdata/cpindexdatacomponent.h"
#include "indexdata/cpmultiindexdatacomponent.h"
#include "pagelayout/cpsplititem.h"
#include "richtext/cprichtextcomponent.h"
#include "wk/wkcfg.h"
#include "wk/wkcore.h"
#include "wk/wkfactory.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QWidget>

#include <cstdio>

#include <unistd.h>

namespace AppHost {

namespace {

QtMessageHandler s_previousHandler = nullptr;

// Messages that every normal run prints and that say nothing to a user: the
// sandbox this process turned off itself, the X server's complaints about
// windows already gone, and size hints the offscreen platform ignores.
bool isKnownNoise(const QString &message)
{
    return message == QLatin1String("Sandboxing disabled by user.")
           || message.startsWith(QLatin1String("QXcbConnection: XCB error:"))
           || message == QLatin1String("This plugin does not support propagateSizeHints()");
}

void filterNoise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg && isKnownNoise(message))
        return;
    s_previousHandler(type, context, message);
}

void installNoiseFilter()
{
    if (!s_previousHandler)
        s_previousHandler = qInstallMessageHandler(filterNoise);
}

} // namespace

void prepareWebEngine(bool headless)
{
    // Without a session's runtime folder Qt picks one itself, but says so on every start.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-") + QString::number(geteuid());
        if (QDir().mkpath(runtime) && QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                         | QFileDevice::ExeOwner))
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The web engine's own log repeats, on every start, what is expected here
    // (no GPU, software drawing); the chart view reports script errors itself.
    QByteArray chromiumFlags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!chromiumFlags.contains("--log-level"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", QByteArray(chromiumFlags + " --log-level=3").trimmed());
    installNoiseFilter();
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
    WKFactory<QWidget>::registerClass<HXCPControls::CPRichTextComponent>("CPRichTextComponent");
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

namespace {

// "skins: not found; looked in A, B" for a shared folder that no candidate holds.
QString whereLooked(const QString &what, const QString &kind, const QString &sub)
{
    QStringList places;
    const QStringList roots = WKCfg::instance()->searchPaths(kind);
    for (const QString &root : roots)
        places << (sub.isEmpty() ? root : root + QLatin1Char('/') + sub);
    if (places.isEmpty())
        places << WKCfg::instance()->stdPath(kind, sub);
    return QStringLiteral("%1: not found; looked in %2").arg(what, places.join(QStringLiteral(", ")));
}

} // namespace

QStringList missingRuntimeFiles()
{
    QStringList missing;
    WKCfg *cfg = WKCfg::instance();
    const QString skin = WKCore::instance()->getCurrentSkinId();
    if (!QFileInfo(cfg->stdPath(QStringLiteral("wkskin"), skin)).isDir())
        missing << whereLooked(QStringLiteral("skin \"%1\"").arg(skin), QStringLiteral("wkskin"), skin);
    const QStringList configFiles{QStringLiteral("servercfg.ini"), QStringLiteral("appcfg.ini")};
    for (const QString &name : configFiles) {
        const QString path = cfg->stdPath(QStringLiteral("wkconfig"), name);
        QFile file(path);
        if (!file.exists())
            missing << whereLooked(QStringLiteral("configuration file %1").arg(name), QStringLiteral("wkconfig"), name);
        else if (!file.open(QIODevice::ReadOnly))
            missing << QStringLiteral("configuration file %1: cannot read %2: %3").arg(name, path, file.errorString());
    }
    const QString map = QStringLiteral("map/china-compress.json");
    if (!QFileInfo(cfg->stdPath(QStringLiteral("wkdata"), map)).isFile())
        missing << whereLooked(QStringLiteral("map of China"), QStringLiteral("wkdata"), map);
    return missing;
}

bool reportMissingRuntimeFiles(QWidget *parent)
{
    const QStringList missing = missingRuntimeFiles();
    for (const QString &line : missing)
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(line));
    if (!missing.isEmpty() && parent)
        QMessageBox::warning(parent, QStringLiteral("文件缺失"),
                             QStringLiteral("以下运行文件缺失或无法读取，界面或数据可能不完整：\n\n") + missing.join(QLatin1Char('\n')));
    return missing.isEmpty();
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
