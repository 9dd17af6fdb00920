#pragma once

// The one server fixture of the tests: a seeded zhp-server in this process
// over a temporary database, blocking calls through the terminal's own HTTP
// and datasource clients, and (for widget tests) a recording relay in front
// of the datasource endpoint.

#include "httptestserver.h"
#include "server.h"

#include "pgcluster.h"
#include "serversignin.h"
#include "zhptest.h"

#include <httplib.h>

#include "hxdataapi/hxdatasourceservice.h"
#include "hxdataapi/hxhttpservice.h"
#include "wk/wkserviceconfig.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMutex>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>
#include <memory>
#include <thread>

namespace ServerTest {

using HXDataApi::HttpJsonResult;

// The seeded values end here, so that counts and dates are fixed.
inline QDate seedEnd() { return QDate(2024, 12, 31); }

// Midnight UTC of a date in milliseconds, as dates travel.
inline qint64 ms(const QDate &d) { return QDateTime(d, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch(); }

// Points the clients at a server.
inline void useServer(const QString &baseUrl) { WKServiceConfig::instance()->setHttpUrl(QStringLiteral("servercfg.ini:Global"), baseUrl); }

class Fixture
{
public:
    Fixture() { QLoggingCategory::setFilterRules(QStringLiteral("zhp.server.info=false")); }

    // An SQLite file, or with ZHP_TEST_ENGINE=postgresql a fresh database of
    // the test cluster (empty when it cannot be made: start() then fails).
    QString dbPath() const
    {
        if (!PgCluster::selected())
            return m_dir.filePath(QStringLiteral("zhp.sqlite"));
        if (m_url.isEmpty()) {
            QString error;
            m_url = PgCluster::createDatabase(&error);
            if (m_url.isEmpty())
                qWarning("no PostgreSQL database for the test: %s", qPrintable(error));
        }
        return m_url;
    }

    // For initTestCase(): strict messages, private host folders, and the seeded server.
    void setUp()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QString error;
        QVERIFY2(start(true, &error), qPrintable(error));
    }

    // Starts a server on dbPath() and points the clients at it.
    // Signed in as the sample user, editor of the product trees in `editorOf`.
    // `end`: the last seeded day; invalid for today.
    bool start(bool seed = true, QString *error = nullptr, const QStringList &editorOf = {QStringLiteral("*")},
               const QDate &end = seedEnd())
    {
        m_server = std::make_unique<zhpserver::Server>();
        zhpserver::Options o;
        o.databasePath = dbPath();
        o.seed = seed;
        if (end.isValid())
            o.seedEndDate = end;
        o.logRequests = false;
        if (!m_server->start(o, error) || !ZhpTest::signIn(*m_server, QStringLiteral("u1001"), editorOf, error))
            return false;
        useServer(m_server->baseUrl());
        return true;
    }

    void stop() { m_server.reset(); }

    zhpserver::Server &server() { return *m_server; }
    int port() const { return m_server ? m_server->port() : 0; }

private:
    QTemporaryDir m_dir;
    mutable QString m_url;
    std::unique_ptr<zhpserver::Server> m_server;
};

inline QUrl endpoint(const QString &path)
{
    return QUrl(WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString())).resolved(QUrl(path));
}

inline QByteArray json(const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

// `o` with the keys of `more` added or replaced.
inline QJsonObject with(QJsonObject o, const QJsonObject &more)
{
    for (auto it = more.begin(); it != more.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

inline HttpJsonResult postRaw(const QString &path, const QByteArray &body)
{
    HXDataApi::HXHttpService http;
    HttpJsonResult result;
    QEventLoop loop;
    http.postJsonAsyn(endpoint(path), body, [&](const HttpJsonResult &r) {
        result = r;
        loop.quit();
    });
    loop.exec();
    return result;
}

inline HttpJsonResult post(const QString &path, const QJsonObject &body) { return postRaw(path, json(body)); }

inline HttpJsonResult query(const QString &objName, const QString &filter = QString(), const QMap<QString, QVariant> &params = {},
                            const QList<HXDataApi::OrderType> &order = {})
{
    HXDataApi::HXDsRequest request;
    request.setObjName(objName);
    request.setFilter(filter);
    request.setFilterParams(params);
    request.setOrder(order);
    request.setIgnoreTotal(true);
    HXDataApi::HXDatasourceService service;
    HttpJsonResult result;
    service.getData(request, result);
    return result;
}

inline QJsonArray rows(const HttpJsonResult &r) { return r.data.array(); }

// The content of a page, and the status of the answer.
inline QString pageContent(const QString &padId, int *status = nullptr)
{
    const HttpJsonResult r = post(QStringLiteral("/user/compositepanel/page/get"), {{QStringLiteral("padId"), padId}});
    if (status)
        *status = r.statusCode;
    return r.data.object().value(QLatin1String("padCont")).toString();
}

// The first id of the seeded indices.
constexpr qint64 kIndexBase = 2001000000000LL;

// The server fixture behind a recording relay: every datasource request the
// widgets send is kept (so tests can read the filters and parameters that
// went out) and answered by the real server. Objects named in failObject()
// are refused with 500, as a broken backend would.
class DatasourceFixture
{
public:
    ~DatasourceFixture() { release(); }

    // For initTestCase(): strict messages, private host folders, and the server.
    void setUp()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QString error;
        QVERIFY2(start(&error), qPrintable(error));
    }

    bool start(QString *error)
    {
        // Widgets ask for recent values: the seed ends today.
        if (!m_server.start(true, error, {}, QDate()))
            return false;
        const int port = m_server.port();
        m_relay.server().Post("/datasource/query", [this, port](const httplib::Request &req, httplib::Response &res) {
            const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(req.body)).object();
            bool held = false;
            {
                QMutexLocker lock(&m_mutex);
                m_requests.append(body);
                if (m_holdNext == body.value(QStringLiteral("objName")).toString()) {
                    m_holdNext.clear();
                    held = true;
                }
                if (m_failing.contains(body.value(QStringLiteral("objName")).toString())) {
                    res.status = 500;
                    res.set_content(R"({"success":false,"message":"database unavailable"})", "application/json");
                    return;
                }
            }
            // A held request is answered after release(), on its own worker thread.
            while (held && !m_released.loadAcquire())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            forward(port, req, res);
            if (held)
                m_heldAnswered.storeRelease(1);
        });
        // The export quota is kept by the server, for the user of the token.
        m_relay.server().Post(R"(/user/export/(count|reserve))", [port](const httplib::Request &req, httplib::Response &res) { forward(port, req, res); });
        if (!m_relay.start()) {
            *error = QStringLiteral("relay did not start");
            return false;
        }
        useServer(m_relay.baseUrl());
        return true;
    }

    QList<QJsonObject> requests() const
    {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    // The requests sent to one object.
    QList<QJsonObject> requestsTo(const QString &objName) const
    {
        QList<QJsonObject> found;
        for (const QJsonObject &r : requests())
            if (r.value(QStringLiteral("objName")).toString() == objName)
                found.append(r);
        return found;
    }
    // The parameters of the last request sent to `objName`.
    QJsonObject lastParams(const QString &objName) const
    {
        const QList<QJsonObject> sent = requestsTo(objName);
        return sent.isEmpty() ? QJsonObject() : sent.last().value(QStringLiteral("params")).toObject();
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_requests.clear();
    }
    void failObject(const QString &objName, bool fail = true)
    {
        QMutexLocker lock(&m_mutex);
        if (fail)
            m_failing.insert(objName);
        else
            m_failing.remove(objName);
    }

    // Holds the next request to `objName` unanswered until release(), so that
    // a later request overtakes it.
    void holdNext(const QString &objName)
    {
        QMutexLocker lock(&m_mutex);
        m_holdNext = objName;
        m_released.storeRelease(0);
        m_heldAnswered.storeRelease(0);
    }
    void release() { m_released.storeRelease(1); }
    // True once the held request has been answered by the server.
    bool heldAnswered() const { return m_heldAnswered.loadAcquire(); }

    // Sends a token of `userId` from now on.
    bool signIn(const QString &userId) { return ZhpTest::signIn(m_server.server(), userId, {}, nullptr); }

private:
    // Answers with what the server on `port` answers to the same request.
    static void forward(int port, const httplib::Request &req, httplib::Response &res)
    {
        httplib::Client client("127.0.0.1", port);
        const httplib::Headers headers{{"Authorization", req.get_header_value("Authorization")}};
        auto answer = client.Post(req.path.c_str(), headers, req.body, "application/json");
        res.status = answer ? answer->status : 502;
        if (answer)
            res.set_content(answer->body, "application/json");
    }

    QString m_holdNext;
    QAtomicInt m_released{1};
    QAtomicInt m_heldAnswered{0};
    Fixture m_server;
    HttpTestServer m_relay;
    mutable QMutex m_mutex;
    QList<QJsonObject> m_requests;
    QSet<QString> m_failing;
};

} // namespace ServerTest

using ServerTest::DatasourceFixture;
using ServerTest::kIndexBase;
