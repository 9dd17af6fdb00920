// zhp-terminal: the desktop terminal that hosts the page library.
#include "apphost.h"
#include "terminalwindow.h"

#include "pagelayout/cpcustompage.h"
#include "wk/wkapplication.h"
#include "wk/wkcfg.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zhp-terminal"));
    QApplication::setOrganizationName(QStringLiteral("dizarozevoruzedava"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Market-data terminal with custom pages."));
    parser.addHelpOption();
    const QCommandLineOption contentOption(QStringLiteral("content"), QStringLiteral("Open page content from FILE."),
                                           QStringLiteral("FILE"));
    const QCommandLineOption editOption(QStringLiteral("edit"), QStringLiteral("Open the page in edit mode."));
    const QCommandLineOption shotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Write a PNG of the window once laid out, then quit."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("Window size."),
                                        QStringLiteral("WIDTHxHEIGHT"), QStringLiteral("1280x800"));
    parser.addOptions({contentOption, editOption, shotOption, sizeOption});
    parser.process(app);

    AppHost::registerComponents();

    TerminalWindow window;
    WKApplication::setMainWindow(&window);
    const QStringList size = parser.value(sizeOption).split(QLatin1Char('x'));
    if (size.size() == 2 && size[0].toInt() > 0 && size[1].toInt() > 0)
        window.resize(size[0].toInt(), size[1].toInt());

    QString contentFile = parser.value(contentOption);
    if (contentFile.isEmpty())
        contentFile = WKCfg::instance()->stdPath(QStringLiteral("wkdata"), QStringLiteral("samples/sample-page.json"));
    QByteArray content;
    QString error;
    if (!AppHost::readInput(contentFile, &content, &error)) {
        std::fprintf(stderr, "zhp-terminal: %s\n", qPrintable(error));
        return 1;
    }
    window.page()->editable(parser.isSet(editOption));
    window.page()->loadDataByContent(QString::fromUtf8(content));
    window.show();

    if (parser.isSet(shotOption)) {
        const QString shot = QFileInfo(parser.value(shotOption)).absoluteFilePath();
        AppHost::waitUntilSettled(&window);
        // Let the last layout pass and paint happen before grabbing.
        QTimer::singleShot(300, &app, [&] {
            QDir().mkpath(QFileInfo(shot).absolutePath());
            if (!window.grab().save(shot)) {
                std::fprintf(stderr, "zhp-terminal: cannot write %s\n", qPrintable(shot));
                QApplication::exit(1);
                return;
            }
            std::printf("screenshot: %s\n", qPrintable(shot));
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
