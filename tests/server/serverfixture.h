#pragma once

// An in-process server over a temporary database, and blocking calls through
// the terminal's own HTTP and datasource clients.

#include "server.h"
#include "serversignin.h"

#include "hxdataapi/hxdatasourceservice.h"
#include "hxdataapi/hxhttpservice.h"
#include "wk/wkserviceconfig.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

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

    QString dbPath() const { return m_dir.filePath(QStringLiteral("zhp.sqlite")); }

    // Starts a server on dbPath() and points the clients at it, signed in as
    // the sample user, editor of the product trees in `editorOf`.
    bool start(bool seed = true, QString *error = nullptr, const QStringList &editorOf = {QStringLiteral("*")})
    {
        m_server = std::make_unique<zhpserver::Server>();
        zhpserver::Options o;
        o.databasePath = dbPath();
        o.seed = seed;
        o.seedEndDate = seedEnd();
        o.logRequests = false;
        if (!m_server->start(o, error) || !ZhpTest::signIn(*m_server, QStringLiteral("u1001"), editorOf, error))
            return false;
        useServer(m_server->baseUrl());
        return true;
    }

    void stop() { m_server.reset(); }

    zhpserver::Server &server() { return *m_server; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<zhpserver::Server> m_server;
};

inline QUrl endpoint(const QString &path)
{
    return QUrl(WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString())).resolved(QUrl(path));
}

inline QByteArray json(const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

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

} // namespace ServerTest
