#pragma once

#include "httptestserver.h"
#include "seeddata.h"
#include "server.h"
#include "serversignin.h"
#include "wk/wkserviceconfig.h"
#include "zhptest.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QSet>
#include <QTemporaryDir>

// A seeded zhp-server on loopback behind a recording relay: every datasource
// request the widgets send is kept (so tests can read the filters and
// parameters that went out) and answered by the real server. Objects named
// in failObject() are refused with 500, as a broken backend would.
// The first id of the seeded indices.
constexpr qint64 kIndexBase = 2001000000000LL;

class DatasourceFixture
{
public:
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
        zhpserver::Options options;
        options.databasePath = m_dir.filePath(QStringLiteral("zhp.sqlite"));
        options.seed = true;
        options.logRequests = false;
        if (!m_server.start(options, error) || !ZhpTest::signIn(m_server, QStringLiteral("u1001"), {}, error))
            return false;
        const int port = m_server.port();
        m_relay.server().Post("/datasource/query", [this, port](const httplib::Request &req, httplib::Response &res) {
            const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(req.body)).object();
            {
                QMutexLocker lock(&m_mutex);
                m_requests.append(body);
                if (m_failing.contains(body.value(QStringLiteral("objName")).toString())) {
                    res.status = 500;
                    res.set_content(R"({"success":false,"message":"database unavailable"})", "application/json");
                    return;
                }
            }
            httplib::Client client("127.0.0.1", port);
            const httplib::Headers headers{{"Authorization", req.get_header_value("Authorization")}};
            auto answer = client.Post("/datasource/query", headers, req.body, "application/json");
            if (!answer) {
                res.status = 502;
                return;
            }
            res.status = answer->status;
            res.set_content(answer->body, "application/json");
        });
        if (!m_relay.start()) {
            *error = QStringLiteral("relay did not start");
            return false;
        }
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_relay.baseUrl());
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

private:
    QTemporaryDir m_dir;
    zhpserver::Server m_server;
    HttpTestServer m_relay;
    mutable QMutex m_mutex;
    QList<QJsonObject> m_requests;
    QSet<QString> m_failing;
};
