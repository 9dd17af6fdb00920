// zhp-terminal: the desktop terminal that hosts the page library.
#include "apphost.h"
#include "editorwindow.h"
#include "screenshottaker.h"
#include "terminalwindow.h"
#include "wktitlemodelistview.h"

#include "editor/navigation/cpleftmenubar.h"
#include "editor/navigation/cpleftmenuitem.h"
#include "editor/navigation/cppagecategoryedit.h"
#include "editor/navigation/cpselectproductview.h"
#include "editor/navigation/cpselectuserpadcategoryview.h"
#include "editor/workspace/cpcontroltreewidget.h"
#include "editor/workspace/cpmanagepageview.h"
#include "pageeditorpane.h"
#include "pagelayout/cpcustompage.h"
#include "seeddata.h"
#include "server.h"
#include "wk/wkappconfig.h"
#include "wk/wkapplication.h"
#include "wk/wkcore.h"
#include "wk/wkfactory.h"
#include "wk/wkserviceconfig.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCursor>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include <cstdio>

namespace {

const QString kGlobal = QStringLiteral("servercfg.ini:Global");
const QString kMenuIconHost = QStringLiteral("servercfg.ini:FunctionMenu/menuIconHost");

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

// A separate server needs the token of the configured user.
void checkAccessToken()
{
    if (WKAppConfig::instance()->getAccessToken().isEmpty())
        std::fprintf(stderr,
                     "zhp-terminal: no access token for %s: put the one that \"zhp-server --issue-token USER\" prints "
                     "into config/appcfg.ini ([User] token=) or the environment variable ZHP_TOKEN\n",
                     qPrintable(WKServiceConfig::instance()->getHttpUrl(kGlobal, QString())));
}

// The product menu's icons come from the server unless another host is configured.
void useServerForMenuIcons()
{
    if (WKCore::instance()->value(kMenuIconHost, QString()).toString().isEmpty())
        WKCore::instance()->setValue(kMenuIconHost, WKServiceConfig::instance()->getHttpUrl(kGlobal, QString()));
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
    HXCPControls::CPCustomPage *page = window.workspace()->page();
    QObject::connect(page, &HXCPControls::CPCustomPage::signalLoadFailed, page, [page, &loadFailed](const QString &reason) {
        loadFailed = true;
        showPageLoadError(page, reason);
    });
    const bool fromFile = parser.isSet(contentOption);
    if (fromFile) {
        QString content;
        if (!readContent(parser.value(contentOption), &content))
            return 1;
        QString error;
        window.workspace()->loadContent(HXCPControls::CPCustomPage::convert2Content(content, &error),
                                        QFileInfo(parser.value(contentOption)).fileName());
        if (!error.isEmpty()) {
            loadFailed = true;
            showPageLoadError(page, error);
        }
    } else {
        window.edit(parser.isSet(padOption) ? parser.value(padOption)
                                            : QString::fromLatin1(zhpserver::seed::DashboardPad));
    }
    window.show();

    std::unique_ptr<ScreenshotTaker> screenshot;
    if (parser.isSet(shotOption))
        screenshot = std::make_unique<ScreenshotTaker>(
            &window, [page, fromFile, &loadFailed] { return fromFile || loadFailed || !page->padID().isEmpty(); },
            parser.value(shotOption));
    return exitStatus(QApplication::exec(), bool(screenshot), loadFailed);
}

// Parts of the window that a screenshot can show open.
bool showScene(TerminalWindow &window, const QString &scene)
{
    using namespace HXCPControls;
    const auto pickTreeItem = [&window](bool page) -> QPoint {
        QTreeView *tree = window.userTree()->categoryEdit()->tree();
        auto *model = qobject_cast<QStandardItemModel *>(tree->model());
        for (QModelIndex index = model->index(0, 0); index.isValid(); index = tree->indexBelow(index)) {
            const bool isPage = model->itemFromIndex(index)->data(Qt::UserRole + 1).toMap().value(QStringLiteral("IS_CATEGORY")).toBool() == false;
            if (isPage == page) {
                tree->setCurrentIndex(index);
                return tree->visualRect(index).center();
            }
        }
        return QPoint();
    };
    if (scene == QLatin1String("product-menu")) {
        window.navigation()->setCurrentWidget(window.productView());
        CPLeftMenuBar *bar = window.productView()->menuBar();
        if (bar->items().isEmpty())
            return true;
        CPLeftMenuItem *item = bar->items().first();
        QCursor::setPos(item->mapToGlobal(item->rect().center()));
        emit bar->switchPopMenu(0);
        return true;
    }
    if (scene == QLatin1String("tree-menu") || scene == QLatin1String("save-as")) {
        window.setTreeEditable(true);
        const bool saveAs = scene == QLatin1String("save-as");
        QTimer::singleShot(1500, &window, [&window, pickTreeItem, saveAs] {
            const QPoint pos = pickTreeItem(saveAs);
            QTreeView *tree = window.userTree()->categoryEdit()->tree();
            QCursor::setPos(tree->viewport()->mapToGlobal(pos));
            if (saveAs) {
                // Choose "另存为" in the menu once it is open.
                QTimer::singleShot(500, &window, [] {
                    for (QWidget *w : QApplication::topLevelWidgets()) {
                        auto *menu = qobject_cast<QMenu *>(w);
                        if (!menu || !menu->isVisible())
                            continue;
                        for (QAction *action : menu->actions()) {
                            if (action->text() == QStringLiteral("另存为")) {
                                menu->setActiveAction(action);
                                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                                QApplication::sendEvent(menu, &enter);
                            }
                        }
                    }
                });
            }
            window.userTree()->categoryEdit()->contextMenu(pos);
        });
        return true;
    }
    std::fprintf(stderr, "zhp-terminal: unknown --show %s (product-menu, tree-menu, save-as)\n", qPrintable(scene));
    return false;
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
    const QCommandLineOption showOption(QStringLiteral("show"),
                                        QStringLiteral("With --screenshot: open PART of the window first "
                                                       "(product-menu, tree-menu, save-as) and shoot the whole screen."),
                                        QStringLiteral("PART"));
    const QCommandLineOption userOption(QStringLiteral("user"),
                                        QStringLiteral("Work as the user with this ID instead of the configured one."),
                                        QStringLiteral("ID"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Window size."),
                                        QStringLiteral("WIDTHxHEIGHT"), QStringLiteral("1280x800"));
    parser.addOptions({padOption, contentOption, serverOption, userOption, editOption, shotOption, showOption, sizeOption});
    parser.process(app);

    AppHost::registerComponents();
    WKFactory<QWidget>::registerClass<WKTitleModeListView>("WKTitleModeListView");
    // Tab containers offer the palette's page entries also where no palette is shown.
    HXCPControls::CPControlTreeWidget::loadPaletteEntries();
    if (parser.isSet(userOption))
        WKAppConfig::instance()->setUserInfo({parser.value(userOption), parser.value(userOption)});

    zhpserver::Server embedded;
    if (parser.isSet(serverOption))
        WKServiceConfig::instance()->setHttpUrl(kGlobal, parser.value(serverOption));
    if (!WKServiceConfig::instance()->getHttpUrl(kGlobal, QString()).isEmpty())
        checkAccessToken();
    else if (!startEmbeddedServer(embedded))
        return 1;
    useServerForMenuIcons();

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
    QObject::connect(&window, &TerminalWindow::pageLoadFailed, &window, [&loadFailed] { loadFailed = true; });
    const bool fromFile = parser.isSet(contentOption);
    const bool byId = parser.isSet(padOption);
    window.start(!fromFile && !byId);
    if (fromFile) {
        QString content;
        if (!readContent(parser.value(contentOption), &content))
            return 1;
        window.openContent(content, QFileInfo(parser.value(contentOption)).fileName());
    } else if (byId) {
        window.openPad(parser.value(padOption), parser.value(padOption), false);
    }
    window.show();
    // A broken installation still opens, but says what it could not find.
    AppHost::reportMissingRuntimeFiles(parser.isSet(shotOption) ? nullptr : &window);
    // A broken installation still opens, but says what it could not find.
    AppHost::reportMissingRuntimeFiles(parser.isSet(shotOption) ? nullptr : &window);

    std::unique_ptr<ScreenshotTaker> screenshot;
    if (parser.isSet(shotOption)) {
        auto arrived = [&window, fromFile, &loadFailed] {
            if (!window.isStarted())
                return false;
            if (window.editor()->isVisible())
                return window.editor()->page() && !window.editor()->page()->padID().isEmpty();
            HXCPControls::CPCustomPage *current = window.currentPage();
            return fromFile || loadFailed || !current || !current->padID().isEmpty();
        };
        screenshot = std::make_unique<ScreenshotTaker>(&window, arrived, parser.value(shotOption));
        if (parser.isSet(showOption)) {
            const QString scene = parser.value(showOption);
            screenshot->setWholeScreen(true);
            screenshot->setBeforeShot([&window, scene] { showScene(window, scene); });
        }
    }
    return exitStatus(QApplication::exec(), bool(screenshot), loadFailed);
}
