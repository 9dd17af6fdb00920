// zhp-server: serves the composite panel endpoints and the datasource over
// one SQLite file. The first line of standard output is the port it listens
// on; one log line per request goes to standard error.

#include "server.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMetaObject>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

int main(int argc, char *argv[])
{
    // SIGINT and SIGTERM are taken by one thread with sigwait, so every other
    // thread (the HTTP workers included) must have them blocked from the start.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zhp-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Composite panel and datasource server."));
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("SQLite database file (created when missing)."), QStringLiteral("FILE"),
                                      zhpserver::Server::defaultDatabasePath());
    const QCommandLineOption bindOption(QStringLiteral("bind"), QStringLiteral("Address to listen on."), QStringLiteral("ADDR"),
                                        QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Port to listen on; 0 picks a free one."), QStringLiteral("N"),
                                        QString::number(zhpserver::Server::DefaultPort));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Fill an empty database with the sample data."));
    const QCommandLineOption seedDateOption(QStringLiteral("seed-end"), QStringLiteral("Last day of the seeded values (default: today)."),
                                            QStringLiteral("yyyy-MM-dd"));
    const QCommandLineOption threadsOption(QStringLiteral("threads"), QStringLiteral("Number of HTTP workers."), QStringLiteral("N"),
                                           QStringLiteral("16"));
    const QCommandLineOption quietOption(QStringLiteral("quiet"), QStringLiteral("Do not log each request."));
    parser.addOptions({dbOption, bindOption, portOption, seedOption, seedDateOption, threadsOption, quietOption});
    parser.process(app);

    zhpserver::Options options;
    options.databasePath = parser.value(dbOption);
    options.bindAddress = parser.value(bindOption);
    bool ok = false;
    options.port = parser.value(portOption).toInt(&ok);
    if (!ok || options.port < 0 || options.port > 65535) {
        std::fprintf(stderr, "zhp-server: --port needs a number from 0 to 65535\n");
        return 2;
    }
    options.threads = parser.value(threadsOption).toInt(&ok);
    if (!ok || options.threads < 1 || options.threads > 256) {
        std::fprintf(stderr, "zhp-server: --threads needs a number from 1 to 256\n");
        return 2;
    }
    options.seed = parser.isSet(seedOption);
    if (parser.isSet(seedDateOption)) {
        options.seedEndDate = QDate::fromString(parser.value(seedDateOption), QStringLiteral("yyyy-MM-dd"));
        if (!options.seedEndDate.isValid()) {
            std::fprintf(stderr, "zhp-server: --seed-end needs a date yyyy-MM-dd\n");
            return 2;
        }
    }
    options.logRequests = !parser.isSet(quietOption);

    zhpserver::Server server;
    QString error;
    if (!server.start(options, &error)) {
        std::fprintf(stderr, "zhp-server: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d\n", server.port());
    std::fflush(stdout);

    std::thread waiter([&stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [signal] {
            std::fprintf(stderr, "zhp-server: stopping on signal %d\n", signal);
            QCoreApplication::quit();
        }, Qt::QueuedConnection);
    });
    waiter.detach();

    const int rc = app.exec();
    server.stop();
    return rc;
}
