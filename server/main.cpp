// zhp-server: serves the composite panel endpoints and the datasource over
// one SQLite file or a PostgreSQL database. The first line of standard output
// is the port it listens on; one log line per request goes to standard error.
// With --issue-token or --revoke-tokens it changes the users' tokens in the
// database and exits, also beside a server running on the same database.

#include "auth.h"
#include "server.h"
#include "storage.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QMetaObject>

#include <csignal>
#include <cstdio>
#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>
#include <thread>

namespace {

// --issue-token and --revoke-tokens: one change to the database, then exit.
// A server on the same database sees it with its next request.
int manageTokens(const QString &dbPath, const QString &issueTo, const QStringList &editorOf, const QString &revokeOf)
{
    if (!issueTo.isEmpty() && !revokeOf.isEmpty()) {
        std::fprintf(stderr, "zhp-server: give either --issue-token or --revoke-tokens\n");
        return 2;
    }
    zhpserver::Storage storage(dbPath);
    QString error;
    if (!storage.open(&error)) {
        std::fprintf(stderr, "zhp-server: %s\n", qPrintable(error));
        return 1;
    }
    zhpserver::Auth auth(storage);
    if (!issueTo.isEmpty()) {
        QString token;
        if (!auth.issueToken(issueTo, editorOf, QString(), &token, &error)) {
            std::fprintf(stderr, "zhp-server: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("%s\n", qPrintable(token));
        return 0;
    }
    if (!auth.userExists(revokeOf, &error)) {
        std::fprintf(stderr, "zhp-server: %s\n", qPrintable(error.isEmpty() ? QStringLiteral("no user %1").arg(revokeOf) : error));
        return 1;
    }
    const int ended = auth.revokeTokens(revokeOf, &error);
    if (ended < 0) {
        std::fprintf(stderr, "zhp-server: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stderr, "zhp-server: ended %d tokens of %s\n", ended, qPrintable(revokeOf));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // Answers of megabytes are built and freed all the time. A fixed
    // threshold keeps such blocks in mappings of their own, given back when
    // freed, instead of letting the heap of every worker keep the largest
    // block it ever held.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
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
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("SQLite database file (created when missing, in a folder that exists) or postgresql://user@host:port/dbname."),
                                      QStringLiteral("FILE|URL"),
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
    const QCommandLineOption headTimeoutOption(QStringLiteral("head-timeout"),
                                               QStringLiteral("Seconds a client has to send its request line and headers (else 408)."),
                                               QStringLiteral("S"), QStringLiteral("10"));
    const QCommandLineOption exportLimitOption(QStringLiteral("export-limit"), QStringLiteral("Indices a user may export per day."),
                                               QStringLiteral("N"), QStringLiteral("500"));
    const QCommandLineOption issueOption(QStringLiteral("issue-token"),
                                         QStringLiteral("Create USER when needed, print a new access token of USER and exit."), QStringLiteral("USER"));
    const QCommandLineOption editorOption(QStringLiteral("editor"),
                                          QStringLiteral("With --issue-token: let the user change the tree of PRODUCT (repeatable; * for every product)."),
                                          QStringLiteral("PRODUCT"));
    const QCommandLineOption revokeOption(QStringLiteral("revoke-tokens"), QStringLiteral("End every access token of USER and exit."),
                                          QStringLiteral("USER"));
    parser.addOptions({dbOption, bindOption, portOption, seedOption, seedDateOption, threadsOption, quietOption, exportLimitOption,
                       issueOption, editorOption, revokeOption, headTimeoutOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "zhp-server: %s\n%s", qPrintable(parser.errorText()), qPrintable(parser.helpText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "zhp-server: unexpected argument %s\n", qPrintable(parser.positionalArguments().first()));
        return 2;
    }

    if (parser.isSet(issueOption) || parser.isSet(revokeOption))
        return manageTokens(parser.value(dbOption), parser.value(issueOption), parser.values(editorOption), parser.value(revokeOption));
    if (parser.isSet(editorOption)) {
        std::fprintf(stderr, "zhp-server: --editor goes with --issue-token\n");
        return 2;
    }

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
    options.headTimeoutSeconds = parser.value(headTimeoutOption).toInt(&ok);
    if (!ok || options.headTimeoutSeconds < 1 || options.headTimeoutSeconds > 3600) {
        std::fprintf(stderr, "zhp-server: --head-timeout needs a number of seconds from 1 to 3600\n");
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
    options.exportLimit = parser.value(exportLimitOption).toInt(&ok);
    if (!ok || options.exportLimit < 0) {
        std::fprintf(stderr, "zhp-server: --export-limit needs a number of 0 or more\n");
        return 2;
    }

    // Every connection waiting for its request head holds a descriptor.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &files);
    }

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
