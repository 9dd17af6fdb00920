// A minimal host of the page library: registers the components in the widget
// factory, points the data services at a zhp-server and shows one page.
//
//   zhp-example-host URL PAGE_ID [--token TOKEN] [--quit-when-loaded]
//
// With --quit-when-loaded it prints what the page holds once every visible
// component exists, and exits: 0 when the page loaded, 1 when it did not.
#include "charts/cpindexchartcomponent.h"
#include "indexdata/cpindexdatacomponent.h"
#include "indexdata/cpmultiindexdatacomponent.h"
#include "pagelayout/cpcustompage.h"
#include "pagelayout/cpsplititem.h"
#include "richtext/cprichtextcomponent.h"
#include "wk/wkfactory.h"
#include "wk/wkserviceconfig.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

using namespace HXCPControls;

namespace {

void registerComponents()
{
    // Stored pages name their components by these keys.
    WKFactory<QWidget>::registerClass<CPIndexDataComponent>("CPIndexDataComponent");
    WKFactory<QWidget>::registerClass<CPMultiIndexDataComponent>("CPMultiIndexDataComponent");
    WKFactory<QWidget>::registerClass<CPIndexChartComponent>("CPIndexChartComponent");
    WKFactory<QWidget>::registerClass<CPIndexMapChartComponent>("CPIndexMapChartComponent");
    WKFactory<QWidget>::registerClass<CPGlobalMarcoChartComponent>("CPGlobalMarcoChartComponent");
    WKFactory<QWidget>::registerClass<CPMarcoChartComponent>("CPMarcoChartComponent");
    WKFactory<QWidget>::registerClass<CPMarcoIndustryChartComponent>("CPMarcoIndustryChartComponent");
    WKFactory<QWidget>::registerClass<CPPlattsChartComponent>("CPPlattsChartComponent");
    WKFactory<QWidget>::registerClass<CPQuoteIndexChartComponent>("CPQuoteIndexChartComponent");
    WKFactory<QWidget>::registerClass<CPRichTextComponent>("CPRichTextComponent");
}

// Items that are shown but have not yet created their component.
int pendingItems(const QWidget *page)
{
    int pending = 0;
    for (CPSplitItem *item : page->findChildren<CPSplitItem *>())
        pending += item->isVisible() && item->restorePending() ? 1 : 0;
    return pending;
}

} // namespace

int main(int argc, char **argv)
{
    // The chart views share one graphics context; without a screen they draw in
    // software; the web engine's sandbox refuses to start as root.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        qputenv("QT_QUICK_BACKEND", "software");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zhp-example-host"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows one page of a zhp-server."));
    parser.addHelpOption();
    const QCommandLineOption tokenOption(QStringLiteral("token"), QStringLiteral("Bearer token for the server."),
                                         QStringLiteral("TOKEN"));
    const QCommandLineOption quitOption(QStringLiteral("quit-when-loaded"),
                                        QStringLiteral("Print what the page holds once loaded, then exit."));
    parser.addOptions({tokenOption, quitOption});
    parser.addPositionalArgument(QStringLiteral("url"), QStringLiteral("The server, such as http://127.0.0.1:8600/"));
    parser.addPositionalArgument(QStringLiteral("page"), QStringLiteral("The page ID (32 hexadecimal digits)."));
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(2);

    registerComponents();
    WKServiceConfig::instance()->setHttpUrl(QStringLiteral("servercfg.ini:Global"), parser.positionalArguments().at(0));
    if (parser.isSet(tokenOption))
        qputenv("ZHP_TOKEN", parser.value(tokenOption).toUtf8());

    CPCustomPage page(nullptr, false);
    page.resize(1200, 800);
    page.loadDataById(parser.positionalArguments().at(1));
    page.show();

    if (parser.isSet(quitOption)) {
        // Poll until the page record arrived and every shown item made its component.
        auto *timer = new QTimer(&app);
        QElapsedTimer elapsed;
        elapsed.start();
        QObject::connect(timer, &QTimer::timeout, &app, [&page, &elapsed] {
            const bool loaded = !page.padID().isEmpty() && pendingItems(&page) == 0;
            if (!loaded && elapsed.elapsed() < 20000)
                return;
            const int items = page.findChildren<CPSplitItem *>().size();
            std::printf("page %s: %d items\n", qPrintable(page.padID()), items);
            QCoreApplication::exit(loaded && items > 0 ? 0 : 1);
        });
        timer->start(100);
    }
    return QApplication::exec();
}
