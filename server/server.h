#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>

namespace zhpserver {

// The backend of the terminal: the composite panel endpoints (category
// trees, pages), the datasource query endpoint and the daily export quota
// over one SQLite file. Every request carries a bearer token (Access).
// The HTTP server runs on its own thread with a pool of workers, so a
// desktop application can run it in-process:
//
//   zhpserver::Server server;
//   zhpserver::Options options;
//   options.databasePath = dataDir + "/zhp.sqlite";
//   options.seed = true;                   // fill a new file with the sample data
//   if (server.start(options, &error))
//       baseUrl = server.baseUrl();        // "http://127.0.0.1:<port>/"
//   server.issueToken(userId, {}, QString(), &token);   // sent as "Authorization: Bearer <token>"
//   ...
//   server.stop();                          // also done by the destructor
struct Options
{
    QString databasePath;                          // created when missing
    QString bindAddress = QStringLiteral("127.0.0.1");
    int port = 0;                                  // 0: any free port
    bool seed = false;                             // fill an empty database with the sample data
    QDate seedEndDate;                             // last day of the seeded values; invalid: today (UTC)
    int threads = 16;                              // HTTP workers, each serving one connection at a time
    bool logRequests = true;                       // one info line per request
    int exportLimit = 500;                         // indices a user may export per day
    int headTimeoutSeconds = 10;                   // a request head must arrive within this (else 408)
};

class Server
{
public:
    static constexpr int DefaultPort = 8600;

    Server();
    ~Server();
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

    // Opens (and if needed upgrades and seeds) the database, binds and starts
    // serving. False with `error` set when any of it fails.
    bool start(const Options &options, QString *error = nullptr);
    // Stops accepting, finishes the requests in progress and closes the database.
    void stop();

    bool isRunning() const;
    int port() const;
    // "http://<bind address>:<port>/"
    QString baseUrl() const;

    // Stores a new bearer token of `userId` in the running server's database
    // (see Auth::issueToken); the server accepts it at once.
    bool issueToken(const QString &userId, const QStringList &editorOf, const QString &label, QString *token, QString *error = nullptr);

    // Where a terminal keeps its own database when no server is configured.
    static QString defaultDatabasePath();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace zhpserver
