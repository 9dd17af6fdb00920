// zhp-terminal: the desktop terminal that hosts the page library.
#include "apphost.h"
#include "editorwindow.h"
#include "screenshottaker.h"
#include "terminalwindow.h"
#include "wktitlemodelistview.h"

#include "editor/workspace/cpcontroltreewidget.h"
#include "editor/workspace/cpmanagepageview.h"
#include "pagelayout/cpcustompage.h"
#include "seeddata.h"
#include "server.h"
#include "wk/wkappconfig.h"
#include "wk/wkapplication.h"
#include "wk/wkcfg.h"
#include "wk/wkfactory.h"
#include "wk/wkserviceconfig.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

#include <cstdio>

namespace {

const QString kGlobal = QStringLiteral("servercfg.ini:Global");

// Without a configured server the terminal serves itself: the backend runs
// in this process on a free loopback port, over a seeded database in the
// user's data folder.
bool startEmbeddedServer(zhpserver::Server &server)
{
    zhpserver::Options options;
    options.databasePath = zhpserver::Server::defaultDatabasePath();
    options.seed = true;
    options.logRequests = false;
    QString error;
    if (!server.start(options, &error)) {
        std::fprintf(stderr, "zhp-terminal: cannot start the local server: %s\n", qPrintable(error));
        return false;
    }
    // The terminal's user owns this database: it edits every product tree.
    WKAppConfig *config = WKAppConfig::instance();
    WKUserInfo user = config->getUserInfo();
    if (user.userId.isEmpty()) {
        user.userId = QString::fromLatin1(zhpserver::seed::SampleUser);
        config->setUserInfo(user);
    }
    QString token;
    if (!server.issueToken(user.userId, {QStringLiteral("*")}, QStringLiteral("zhp-terminal"), &token, &error)) {
        std::fprintf(stderr, "zhp-terminal: cannot sign in to the local server: %s\n", qPrintable(error));
        return false;
    }
    config->setAccessToken(token);
    WKServiceConfig::instance()->setHttpUrl(kGlobal, server.baseUrl());
    return true;
}

// Page content from a file (or standard input for "-"); false after telling why not.
bool readContent(const QString &path, QString *content)
{
    QByteArray data;
    QString error;
    if (!AppHost::readInput(path, &data, &error)) {
        std::fprintf(stderr, "zhp-terminal: %s\n", qPrintable(error));
        return false;
    }
    *content = QString::fromUtf8(data);
    return true;
}

// A page that could not be loaded stays empty; the reason is shown over its
// top, leaving the empty page below it free to edit.
void showLoadError(HXCPControls::CPCustomPage *page, const QString &reason)
{
    auto *label = page->findChild<QLabel *>(QStringLiteral("loadError"), Qt::FindDirectChildrenOnly);
    if (!label) {
        label = new QLabel(page);
        label->setObjectName(QStringLiteral("loadError"));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setStyleSheet(QStringLiteral("color: rgb(190, 40, 40); font-size: 16px; padding: 60px 40px;"));
        if (auto *grid = qobject_cast<QGridLayout *>(page->layout()))
            grid->addWidget(label, 0, 0);
    }
    label->setText(QStringLiteral("页面无法打开\n\n%1").arg(reason));
    label->raise();
    label->show();
    std::fprintf(stderr, "zhp-terminal: the page could not be loaded: %s\n", qPrintable(reason));
}

// Shows why `page` could not be loaded and notes that it failed.
void watchLoad(HXCPControls::CPCustomPage *page, bool *failed)
{
    QObject::connect(page, &HXCPControls::CPCustomPage::signalLoadFailed, page, [page, failed](const QString &reason) {
        *failed = true;
        showLoadError(page, reason);
    });
}

// A screenshot of a page that could not be loaded is not a success.
int exitStatus(int status, bool screenshot, bool loadFailed)
{
    return status == 0 && screenshot && loadFailed ? 3 : status;
}

// The page in the editor workspace: from a file, by ID, or the sample page.
int runEditor(const QCommandLineParser &parser, const QSize &size, const QCommandLineOption &contentOption,
              const QCommandLineOption &padOption, const QCommandLineOption &shotOption)
{
    EditorWindow window;
    WKApplication::setMainWindow(&window);
    if (size.isValid())
        window.resize(size);
    bool loadFailed = false;
    watchLoad(window.workspace()->page(), &loadFailed);
    if (parser.isSet(contentOption)) {
        QString content;
        if (!readContent(parser.value(contentOption), &content))
            return 1;
        QString error;
        window.workspace()->loadContent(HXCPControls::CPCustomPage::convert2Content(content, &error),
                                        QFileInfo(parser.value(contentOption)).fileName());
        if (!error.isEmpty()) {
            loadFailed = true;
            showLoadError(window.workspace()->page(), error);
        }
    } else {
        window.edit(parser.isSet(padOption) ? parser.value(padOption)
                                            : QString::fromLatin1(zhpserver::seed::DashboardPad));
    }
    window.show();

    std::unique_ptr<ScreenshotTaker> screenshot;
    if (parser.isSet(shotOption))
        screenshot = std::make_unique<ScreenshotTaker>(&window, window.workspace()->page(), parser.value(shotOption),
                                                       !parser.isSet(contentOption));
    return exitStatus(QApplication::exec(), bool(screenshot), loadFailed);
}

// A separate server needs the token of the configured user.
void checkAccessToken()
{
    if (WKAppConfig::instance()->getAccessToken().isEmpty())
        std::fprintf(stderr,
                     "zhp-terminal: no access token for %s: put the one that \"zhp-server --issue-token USER\" prints "
                     "into config/appcfg.ini ([User] token=) or the environment variable ZHP_TOKEN\n",
                     qPrintable(WKServiceConfig::instance()->getHttpUrl(kGlobal, QString())));
}

} // namespace

int main(int argc, char **argv)
{
    AppHost::prepareWebEngine(qgetenv("QT_QPA_PLATFORM") == "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zhp-terminal"));
    QApplication::setOrganizationName(QStringLiteral("dizarozevoruzedava"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Market-data terminal with custom pages."));
    parser.addHelpOption();
    const QCommandLineOption padOption(QStringLiteral("pad"), QStringLiteral("Open the page with this ID from the server."),
                                       QStringLiteral("ID"));
    const QCommandLineOption contentOption(QStringLiteral("content"), QStringLiteral("Open page content from FILE."),
                                           QStringLiteral("FILE"));
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          QStringLiteral("Use the server at URL instead of the configured or local one."),
                                          QStringLiteral("URL"));
    const QCommandLineOption editOption(QStringLiteral("edit"),
                                        QStringLiteral("Open the page in the editor, with the component palette."));
    const QCommandLineOption shotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Write a PNG of the window once laid out, then quit."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Window size."),
                                        QStringLiteral("WIDTHxHEIGHT"), QStringLiteral("1280x800"));
    parser.addOptions({padOption, contentOption, serverOption, editOption, shotOption, sizeOption});
    parser.process(app);

    AppHost::registerComponents();
    WKFactory<QWidget>::registerClass<WKTitleModeListView>("WKTitleModeListView");
    // Tab containers offer the palette's page entries also where no palette is shown.
    HXCPControls::CPControlTreeWidget::loadPaletteEntries();

    zhpserver::Server embedded;
    if (parser.isSet(serverOption))
        WKServiceConfig::instance()->setHttpUrl(kGlobal, parser.value(serverOption));
    if (!WKServiceConfig::instance()->getHttpUrl(kGlobal, QString()).isEmpty())
        checkAccessToken();
    else if (!startEmbeddedServer(embedded))
        return 1;

    const QStringList size = parser.value(sizeOption).split(QLatin1Char('x'));
    const QSize windowSize = size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0
                                 ? QSize(size[0].toInt(), size[1].toInt())
                                 : QSize();
    if (parser.isSet(editOption))
        return runEditor(parser, windowSize, contentOption, padOption, shotOption);

    TerminalWindow window;
    WKApplication::setMainWindow(&window);
    if (windowSize.isValid())
        window.resize(windowSize);

    bool loadFailed = false;
    watchLoad(window.page(), &loadFailed);
    if (parser.isSet(contentOption)) {
        QString content;
        if (!readContent(parser.value(contentOption), &content))
            return 1;
        window.page()->loadDataByContent(content);
    } else {
        window.page()->loadDataById(parser.isSet(padOption) ? parser.value(padOption) : QString::fromLatin1(zhpserver::seed::DashboardPad));
    }
    window.show();
    // A broken installation still opens, but says what it could not find.
    AppHost::reportMissingRuntimeFiles(parser.isSet(shotOption) ? nullptr : &window);

    std::unique_ptr<ScreenshotTaker> screenshot;
    if (parser.isSet(shotOption))
        screenshot = std::make_unique<ScreenshotTaker>(&window, window.page(), parser.value(shotOption),
                                                       !parser.isSet(contentOption));
    return exitStatus(QApplication::exec(), bool(screenshot), loadFailed);
}
