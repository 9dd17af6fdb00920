#pragma once

// An in-process server over a temporary database, and blocking calls through
// the terminal's own HTTP and datasource clients.

#include "server.h"

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

class Fixture
{
public:
    Fixture() { QLoggingCategory::setFilterRules(QStringLiteral("zhp.server.info=false")); }

    QString dbPath() const { return m_dir.filePath(QStringLiteral("zhp.sqlite")); }

    bool start(bool seed = true, QString *error = nullptr)
    {
        m_server = std::make_unique<zhpserver::Server>();
        zhpserver::Options o;
        o.databasePath = dbPath();
        o.seed = seed;
        o.seedEndDate = seedEnd();
        o.logRequests = false;
        if (!m_server->start(o, error))
            return false;
        WKServiceConfig::instance()->setHttpUrl(QStringLiteral("servercfg.ini:Global"), m_server->baseUrl());
        return true;
    }

    void stop()
    {
        if (m_server)
            m_server->stop();
        m_server.reset();
    }

    zhpserver::Server &server() { return *m_server; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<zhpserver::Server> m_server;
};

inline QUrl endpoint(const QString &path)
{
    return QUrl(WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString())).resolved(QUrl(path));
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

inline HttpJsonResult post(const QString &path, const QJsonObject &body)
{
    return postRaw(path, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

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

inline QJsonArray ids(std::initializer_list<qint64> list)
{
    QJsonArray a;
    for (qint64 id : list)
        a.append(double(id));
    return a;
}

} // namespace ServerTest
