#include "server.h"

#include "access.h"
#include "auth.h"
#include "datasourcequery.h"
#include "menuicons.h"
#include "pagestore.h"
#include "seeddata.h"
#include "serverlog.h"
#include "storage.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <httplib.h>

#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <thread>

namespace zhpserver {

namespace {

// httplib's workers. The worker that became idle last takes the next
// connection, so under light load one or two threads with warm database
// connections and caches answer everything; each closes its own database
// connection before it ends.
class WorkerPool : public httplib::TaskQueue
{
public:
    WorkerPool(int count, Storage &storage)
        : m_storage(storage)
    {
        for (int i = 0; i < count; ++i)
            m_workers.push_back(std::make_unique<Worker>());
        for (auto &w : m_workers) {
            Worker *worker = w.get();
            worker->thread = std::thread([this, worker] { work(worker); });
        }
    }

    void enqueue(std::function<void()> fn) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_idle.empty()) {
            m_backlog.push_back(std::move(fn));
            return;
        }
        Worker *w = m_idle.back();
        m_idle.pop_back();
        w->job = std::move(fn);
        w->cond.notify_one();
    }

    void shutdown() override
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_shutdown = true;
            for (auto &w : m_workers)
                w->cond.notify_one();
        }
        for (auto &w : m_workers)
            w->thread.join();
        m_workers.clear();
    }

private:
    struct Worker
    {
        std::thread thread;
        std::condition_variable cond;
        std::function<void()> job;
    };

    void work(Worker *w)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            std::function<void()> job;
            if (w->job) {
                job = std::move(w->job);
                w->job = nullptr;
            } else if (!m_backlog.empty()) {
                job = std::move(m_backlog.front());
                m_backlog.pop_front();
            } else if (m_shutdown) {
                break;
            } else {
                m_idle.push_back(w);
                w->cond.wait(lock, [&] { return bool(w->job) || m_shutdown; });
                if (!w->job)
                    m_idle.erase(std::remove(m_idle.begin(), m_idle.end(), w), m_idle.end());
                continue;
            }
            lock.unlock();
            job();
            lock.lock();
        }
        lock.unlock();
        m_storage.releaseThreadConnection();
    }

    Storage &m_storage;
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::vector<Worker *> m_idle;
    std::deque<std::function<void()>> m_backlog;
    std::mutex m_mutex;
    bool m_shutdown = false;
};

thread_local std::chrono::steady_clock::time_point t_requestStart;
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
    std::unique_ptr<httplib::Server> http;
    std::thread listener;
    int port = 0;

    using PageOp = Reply (PageStore::*)(PageStore::TreeKind, const QJsonObject &);

    // Parses the body as a JSON object and hands it to `op`.
    static bool readBody(const httplib::Request &req, httplib::Response &res, QJsonObject &body)
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromRawData(req.body.data(), int(req.body.size())), &error);
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
        http->Post(path, [this, op, kind, rule](const httplib::Request &req, httplib::Response &res) {
            QJsonObject body;
            if (permitted(req, res, rule, kind, body))
                answer(res, (pages.get()->*op)(kind, body));
        });
    }

    void setupRoutes()
    {
        const auto P = PageStore::ProductTree;
        const auto U = PageStore::UserTree;
        http->Post("/user/compositepanel/page/get", [this](const httplib::Request &req, httplib::Response &res) {
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

        http->Post("/user/export/reserve", [this](const httplib::Request &req, httplib::Response &res) {
            QJsonObject body;
            if (signedIn(res) && readBody(req, res, body))
                answer(res, access->reserveExport(t_caller, body, options.exportLimit));
        });
        http->Post("/user/export/count", [this](const httplib::Request &, httplib::Response &res) {
            if (signedIn(res))
                answer(res, access->exportCount(t_caller, options.exportLimit));
        });

        http->Post("/datasource/query", [this](const httplib::Request &req, httplib::Response &res) {
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
            answer(res, Reply::json(QJsonObject{{QStringLiteral("success"), true},
                                                {QStringLiteral("schemaVersion"), Storage::SchemaVersion}}));
        });

        // Every failure carries a JSON message, also those httplib answers itself.
        http->set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request &req, httplib::Response &res) {
            if (!res.body.empty())
                return httplib::Server::HandlerResponse::Handled;
            QString message;
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
            t_requestStart = std::chrono::steady_clock::now();
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
        if (options.logRequests) {
            http->set_logger([](const httplib::Request &req, const httplib::Response &res) {
                const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t_requestStart).count();
                qCInfo(lcServer).noquote() << QString::fromStdString(req.method) << QString::fromStdString(req.path) << res.status
                                           << res.body.size() << "bytes" << QString::number(us / 1000.0, 'f', 1) + QStringLiteral(" ms")
                                           << QString::fromStdString(req.remote_addr);
            });
        }
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
    const QString path = options.databasePath.isEmpty() ? defaultDatabasePath() : options.databasePath;
    d->options = options;
    d->storage = std::make_unique<Storage>(path);
    QString problem;
    bool ok = d->storage->open(&problem);
    if (ok && options.seed && seed::isEmpty(*d->storage)) {
        const QDate end = options.seedEndDate.isValid() ? options.seedEndDate : QDateTime::currentDateTimeUtc().date();
        ok = seed::fill(*d->storage, end, &problem);
    }
    // The calling thread does not serve requests; its connection is not kept.
    d->storage->releaseThreadConnection();
    if (!ok) {
        d->storage.reset();
        if (error)
            *error = problem;
        return false;
    }

    d->pages = std::make_unique<PageStore>(*d->storage);
    d->auth = std::make_unique<Auth>(*d->storage);
    d->access = std::make_unique<Access>(*d->storage, *d->auth);
    d->http = std::make_unique<httplib::Server>();
    const int threads = qMax(2, options.threads);
    Storage *storage = d->storage.get();
    d->http->new_task_queue = [threads, storage] { return new WorkerPool(threads, *storage); };
    // One request per connection. The terminal's HTTP client writes a
    // request's header and body separately; on a kept-alive connection the
    // body then waits for the delayed acknowledgement of the header (some
    // 40 ms per request). A fresh loopback connection costs far less.
    d->http->set_keep_alive_max_count(1);
    d->http->set_keep_alive_timeout(1);
    // Answers go out as header and body writes; without this the second one
    // can wait for the delayed acknowledgement of the first.
    d->http->set_tcp_nodelay(true);
    // Reuse an address in TIME_WAIT, but never share a port with a running
    // server (the library's default would also set SO_REUSEPORT).
    d->http->set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const void *>(&yes), sizeof yes);
    });
    d->http->set_payload_max_length(32 * 1024 * 1024);
    d->setupRoutes();

    const std::string host = options.bindAddress.toStdString();
    if (options.port == 0) {
        d->port = d->http->bind_to_any_port(host);
        ok = d->port > 0;
    } else {
        ok = d->http->bind_to_port(host, options.port);
        d->port = options.port;
    }
    if (!ok) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2").arg(options.bindAddress).arg(options.port);
        d->http.reset();
        d->access.reset();
        d->auth.reset();
        d->pages.reset();
        d->storage.reset();
        d->port = 0;
        return false;
    }
    httplib::Server *http = d->http.get();
    d->listener = std::thread([http] { http->listen_after_bind(); });
    // The socket already listens; wait until the accept loop runs as well.
    for (int i = 0; i < 5000 && !http->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    qCInfo(lcServer).noquote() << "serving" << path << "on" << baseUrl();
    return true;
}

void Server::stop()
{
    if (!d->http)
        return;
    d->http->stop();
    if (d->listener.joinable())
        d->listener.join();
    d->http.reset();
    d->access.reset();
    d->auth.reset();
    d->pages.reset();
    d->storage.reset();
    d->port = 0;
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
