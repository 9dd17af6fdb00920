#include "server.h"

#include "access.h"
#include "auth.h"
#include "datasourcequery.h"
#include "httpfront.h"
#include "jsonguard.h"
#include "menuicons.h"
#include "pagestore.h"
#include "seeddata.h"
#include "serverlog.h"
#include "storage.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace zhpserver {

namespace {

// The user whose token admitted the request this thread serves.
thread_local QString t_caller;

const char *const kJson = "application/json; charset=utf-8";

void answer(httplib::Response &res, const Reply &reply)
{
    res.status = reply.status;
    res.set_content(reply.body.constData(), size_t(reply.body.size()), kJson);
}

} // namespace

struct Server::Private
{
    Options options;
    std::unique_ptr<Storage> storage;
    std::unique_ptr<PageStore> pages;
    std::unique_ptr<Auth> auth;
    std::unique_ptr<Access> access;
    std::unique_ptr<HttpFront> http;
    std::thread listener;
    int port = 0;

    using PageOp = Reply (PageStore::*)(PageStore::TreeKind, const QJsonObject &);

    // Parses the body as a JSON object and hands it to `op`.
    static bool readBody(const httplib::Request &req, httplib::Response &res, QJsonObject &body)
    {
        const QByteArray text = QByteArray::fromRawData(req.body.data(), int(req.body.size()));
        const QString repeated = duplicateJsonKey(text);
        if (!repeated.isNull()) {
            answer(res, Reply::error(400, QStringLiteral("request body repeats the key \"%1\"").arg(repeated.left(100))));
            return false;
        }
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
        if (error.error != QJsonParseError::NoError) {
            answer(res, Reply::error(400, QStringLiteral("request body is not JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset)));
            return false;
        }
        if (!doc.isObject()) {
            answer(res, Reply::error(400, QStringLiteral("request body must be a JSON object")));
            return false;
        }
        body = doc.object();
        return true;
    }

    // Handlers run on the thread whose pre-routing admitted the request;
    // a handler reached without it serves nobody.
    static bool signedIn(httplib::Response &res)
    {
        if (!t_caller.isEmpty())
            return true;
        answer(res, Reply::error(401, QStringLiteral("the request was not admitted by a token")));
        return false;
    }

    // The body of a request admitted by its token, checked against the access rules.
    bool permitted(const httplib::Request &req, httplib::Response &res, Access::Operation rule, PageStore::TreeKind kind, QJsonObject &body)
    {
        if (!signedIn(res) || !readBody(req, res, body))
            return false;
        Reply refusal;
        if (!access->permit(rule, kind, t_caller, body, &refusal)) {
            answer(res, refusal);
            return false;
        }
        return true;
    }

    void route(const char *path, PageOp op, PageStore::TreeKind kind, Access::Operation rule)
    {
        http->post(path, [this, op, kind, rule](const httplib::Request &req, httplib::Response &res) {
            QJsonObject body;
            if (permitted(req, res, rule, kind, body))
                answer(res, (pages.get()->*op)(kind, body));
        });
    }

    void setupRoutes()
    {
        const auto P = PageStore::ProductTree;
        const auto U = PageStore::UserTree;
        http->post("/user/compositepanel/page/get", [this](const httplib::Request &req, httplib::Response &res) {
            QJsonObject body;
            if (permitted(req, res, Access::PageGet, PageStore::ProductTree, body))
                answer(res, pages->getPage(body));
        });
        route("/user/compositepanel/page/updateContent", &PageStore::updateContent, P, Access::PageUpdate);
        route("/user/compositepanel/userPage/updateContent", &PageStore::updateContent, U, Access::PageUpdate);
        route("/user/compositepanel/node/tree", &PageStore::tree, P, Access::Tree);
        route("/user/compositepanel/user/tree", &PageStore::tree, U, Access::Tree);
        route("/user/compositepanel/node/add", &PageStore::add, P, Access::Add);
        route("/user/compositepanel/user/add", &PageStore::add, U, Access::Add);
        route("/user/compositepanel/node/changePosition", &PageStore::changePosition, P, Access::Move);
        route("/user/compositepanel/user/changePosition", &PageStore::changePosition, U, Access::Move);
        route("/user/compositepanel/node/delete", &PageStore::remove, P, Access::Delete);
        route("/user/compositepanel/user/delete", &PageStore::remove, U, Access::Delete);
        route("/user/compositepanel/node/edit", &PageStore::edit, P, Access::Edit);
        route("/user/compositepanel/user/edit", &PageStore::edit, U, Access::Edit);
        route("/user/compositepanel/node/saveAs", &PageStore::saveAs, P, Access::SaveAs);
        route("/user/compositepanel/user/saveAs", &PageStore::saveAs, U, Access::SaveAs);

        http->post("/user/export/reserve", [this](const httplib::Request &req, httplib::Response &res) {
            QJsonObject body;
            if (signedIn(res) && readBody(req, res, body))
                answer(res, access->reserveExport(t_caller, body, options.exportLimit));
        });
        http->post("/user/export/count", [this](const httplib::Request &, httplib::Response &res) {
            if (signedIn(res))
                answer(res, access->exportCount(t_caller, options.exportLimit));
        });

        http->post("/datasource/query", [this](const httplib::Request &req, httplib::Response &res) {
            CompiledQuery query;
            QueryError error;
            if (!compileRequest(QByteArray::fromRawData(req.body.data(), int(req.body.size())), query, error)) {
                answer(res, Reply::error(error.status, error.message));
                return;
            }
            QSqlDatabase db = storage->connection();
            QByteArray rows;
            if (!runQuery(db, query, rows, error)) {
                answer(res, Reply::error(error.status, error.message));
                return;
            }
            answer(res, Reply{200, rows});
        });

        http->Get(std::string(MenuIconPath) + "([^/]+)", [](const httplib::Request &req, httplib::Response &res) {
            QByteArray png;
            const QString name = QString::fromStdString(req.matches[1].str());
            if (!menuIcon(name, &png)) {
                answer(res, Reply::error(404, QStringLiteral("no menu icon %1").arg(name)));
                return;
            }
            res.set_header("Cache-Control", "max-age=86400");
            res.set_content(png.constData(), size_t(png.size()), "image/png");
        });

        http->Get("/status", [this](const httplib::Request &, httplib::Response &res) {
            // Public (see Access::isPublic), so it tells nothing about where or what the data is.
            // A load balancer's health check: 503 once the database is lost.
            const bool lost = storage->isLost();
            QJsonObject status{{QStringLiteral("success"), !lost}, {QStringLiteral("schemaVersion"), Storage::SchemaVersion}};
            if (lost)
                status.insert(QStringLiteral("message"), QStringLiteral("the database was lost under the server; writes are refused"));
            answer(res, Reply::json(status, lost ? 503 : 200));
        });

        // Every failure carries a JSON message, also those httplib answers itself.
        http->set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request &req, httplib::Response &res) {
            if (!res.body.empty())
                return httplib::Server::HandlerResponse::Handled;
            QString message;
            if (HttpFront::refusalStatus() != 0) {
                res.status = HttpFront::refusalStatus();
                answer(res, Reply::error(res.status, QString::fromStdString(HttpFront::refusalMessage())));
                return httplib::Server::HandlerResponse::Handled;
            }
            switch (res.status) {
            case 404: message = QStringLiteral("no endpoint %1 %2").arg(QString::fromStdString(req.method), QString::fromStdString(req.path)); break;
            case 413: message = QStringLiteral("request body too large"); break;
            default: message = QStringLiteral("request failed with status %1").arg(res.status); break;
            }
            answer(res, Reply::error(res.status, message));
            return httplib::Server::HandlerResponse::Handled;
        }));
        http->set_exception_handler([](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
            answer(res, Reply::error(500, QStringLiteral("internal error")));
        });
        // Every request but the public ones is admitted by its token before it
        // is routed and before its body is read.
        http->set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
            t_caller.clear();
            if (Access::isPublic(req))
                return httplib::Server::HandlerResponse::Unhandled;
            Reply refusal;
            if (access->admit(req, &t_caller, &refusal))
                return httplib::Server::HandlerResponse::Unhandled;
            t_caller.clear();
            answer(res, refusal);
            if (refusal.status == 401)
                res.set_header("WWW-Authenticate", "Bearer realm=\"zhp\"");
            return httplib::Server::HandlerResponse::Handled;
        });
        // Bodies sent to no endpoint are not read at all.
        const auto nowhere = [](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &) {
            answer(res, Reply::error(404, QStringLiteral("no endpoint %1 %2").arg(QString::fromStdString(req.method), QString::fromStdString(req.path))));
        };
        http->Post(".*", nowhere);
        http->Put(".*", nowhere);
        http->Patch(".*", nowhere);
        http->Delete(".*", nowhere);
        if (options.logRequests) {
            // Durations count from the accepted connection, so they include
            // the time the client took to send its request.
            http->set_logger([](const httplib::Request &req, const httplib::Response &res) {
                const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - HttpFront::requestStart()).count();
                logRequest(QString::fromStdString(req.method) + QLatin1Char(' ') + QString::fromStdString(req.path), res.status, res.body.size(), ms,
                           req.remote_addr);
            });
            http->setRefusalLog([](int status, const std::string &message, const std::string &remote, double ms) {
                logRequest(QStringLiteral("(refused before routing: %1)").arg(QString::fromStdString(message)), status, 0, ms, remote);
            });
        }
    }

    // Drops the HTTP front, the stores and the database, in that order.
    void release()
    {
        http.reset();
        access.reset();
        auth.reset();
        pages.reset();
        storage.reset();
        port = 0;
    }

    static void logRequest(const QString &what, int status, size_t bytes, double ms, const std::string &remote)
    {
        qCInfo(lcServer).noquote() << what << status << bytes << "bytes" << QString::number(ms, 'f', 1) + QStringLiteral(" ms")
                                   << QString::fromStdString(remote);
    }
};

Server::Server()
    : d(std::make_unique<Private>())
{
}

Server::~Server()
{
    stop();
}

bool Server::start(const Options &options, QString *error)
{
    if (d->http) {
        if (error)
            *error = QStringLiteral("the server is already running");
        return false;
    }
    const QString location = options.databasePath.isEmpty() ? defaultDatabasePath() : options.databasePath;
    d->options = options;
    auto fail = [this, error](const QString &problem) {
        if (error)
            *error = problem;
        d->release();
        return false;
    };
    {
        DatabaseLocation parsed;
        QString problem;
        if (!DatabaseLocation::parse(location, parsed, &problem))
            return fail(problem);
    }

    // The port first: a server that cannot listen touches no database.
    HttpLimits limits;
    limits.headDeadline = std::chrono::seconds(qMax(1, options.headTimeoutSeconds));
    d->http = std::make_unique<HttpFront>(qMax(2, options.threads), limits, [this] {
        if (d->storage)
            d->storage->releaseThreadConnection();
    });
    // Answers go out as header and body writes; without this the second one
    // can wait for the delayed acknowledgement of the first.
    d->http->set_tcp_nodelay(true);
    // Reuse an address in TIME_WAIT, but never share a port with a running
    // server (the library's default would also set SO_REUSEPORT).
    d->http->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const void *>(&yes), sizeof yes);
    });
    const int port = d->http->bindListening(options.bindAddress.toStdString(), options.port);
    if (port <= 0) {
        const int cause = errno;
        return fail(QStringLiteral("cannot listen on %1:%2: %3").arg(options.bindAddress).arg(options.port).arg(QString::fromLocal8Bit(std::strerror(cause))));
    }
    d->port = port;

    d->storage = std::make_unique<Storage>(location);
    QString problem;
    bool ok = d->storage->claimExclusive(&problem) && d->storage->open(&problem, Storage::SchemaVersion, location == defaultDatabasePath())
              && d->storage->claimExclusive(&problem);
    if (ok && options.seed && seed::isEmpty(*d->storage)) {
        const QDate end = options.seedEndDate.isValid() ? options.seedEndDate : QDateTime::currentDateTimeUtc().date();
        ok = seed::fill(*d->storage, end, &problem);
    }
    // The calling thread does not serve requests; its connection is not kept.
    d->storage->releaseThreadConnection();
    if (!ok)
        return fail(problem);

    d->pages = std::make_unique<PageStore>(*d->storage);
    d->auth = std::make_unique<Auth>(*d->storage);
    d->access = std::make_unique<Access>(*d->storage, *d->auth);
    d->setupRoutes();
    httplib::Server *http = d->http.get();
    d->listener = std::thread([http] { http->listen_after_bind(); });
    // The socket already listens; wait until the accept loop runs as well.
    for (int i = 0; i < 5000 && !http->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    qCInfo(lcServer).noquote() << "serving" << d->storage->location().display() << "on" << baseUrl();
    return true;
}

void Server::stop()
{
    if (!d->http)
        return;
    d->http->stop();
    if (d->listener.joinable())
        d->listener.join();
    d->http->shutdownFront();
    d->release();
}

bool Server::issueToken(const QString &userId, const QStringList &editorOf, const QString &label, QString *token, QString *error)
{
    if (!d->auth) {
        if (error)
            *error = QStringLiteral("the server is not running");
        return false;
    }
    const bool ok = d->auth->issueToken(userId, editorOf, label, token, error);
    // The calling thread does not serve requests; its connection is not kept.
    d->storage->releaseThreadConnection();
    return ok;
}

bool Server::isRunning() const
{
    return d->http && d->http->is_running();
}

int Server::port() const
{
    return d->port;
}

QString Server::baseUrl() const
{
    return QStringLiteral("http://%1:%2/").arg(d->options.bindAddress).arg(d->port);
}

QString Server::defaultDatabasePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/zhp-server.sqlite");
}

} // namespace zhpserver
