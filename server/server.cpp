#include "server.h"

#include "datasourcequery.h"
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

    void route(const char *path, PageOp op, PageStore::TreeKind kind)
    {
        http->Post(path, [this, op, kind](const httplib::Request &req, httplib::Response &res) {
            QJsonObject body;
            if (readBody(req, res, body))
                answer(res, (pages.get()->*op)(kind, body));
        });
    }

    void setupRoutes()
    {
        const auto P = PageStore::ProductTree;
        const auto U = PageStore::UserTree;
        http->Post("/user/compositepanel/page/get", [this](const httplib::Request &req, httplib::Response &res) {
            QJsonObject body;
            if (readBody(req, res, body))
                answer(res, pages->getPage(body));
        });
        route("/user/compositepanel/page/updateContent", &PageStore::updateContent, P);
        route("/user/compositepanel/userPage/updateContent", &PageStore::updateContent, U);
        route("/user/compositepanel/node/tree", &PageStore::tree, P);
        route("/user/compositepanel/user/tree", &PageStore::tree, U);
        route("/user/compositepanel/node/add", &PageStore::add, P);
        route("/user/compositepanel/user/add", &PageStore::add, U);
        route("/user/compositepanel/node/changePosition", &PageStore::changePosition, P);
        route("/user/compositepanel/user/changePosition", &PageStore::changePosition, U);
        route("/user/compositepanel/node/delete", &PageStore::remove, P);
        route("/user/compositepanel/user/delete", &PageStore::remove, U);
        route("/user/compositepanel/node/edit", &PageStore::edit, P);
        route("/user/compositepanel/user/edit", &PageStore::edit, U);
        route("/user/compositepanel/node/saveAs", &PageStore::saveAs, P);
        route("/user/compositepanel/user/saveAs", &PageStore::saveAs, U);

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

        http->Get("/status", [this](const httplib::Request &, httplib::Response &res) {
            answer(res, Reply::json(QJsonObject{{QStringLiteral("success"), true},
                                                {QStringLiteral("schemaVersion"), Storage::SchemaVersion},
                                                {QStringLiteral("database"), storage->path()}}));
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
        http->set_pre_routing_handler([](const httplib::Request &, httplib::Response &) {
            t_requestStart = std::chrono::steady_clock::now();
            return httplib::Server::HandlerResponse::Unhandled;
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
    d->pages.reset();
    d->storage.reset();
    d->port = 0;
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
