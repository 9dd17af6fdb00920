#pragma once

#include "httpjsonresult.h"

#include <QObject>
#include <QSet>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace HXDataApi {

// Posts JSON bodies and parses JSON answers, with the access token of the
// configured server (addAccessToken; a refused token's error text says how
// to get one). Each callback runs once, on the thread of the service (the
// GUI thread), unless the service is destroyed first: then the request is
// aborted and its callback dropped, so that no callback outlives the object
// that made the request.
class ZHPHOST_EXPORT HXHttpService : public QObject
{
    Q_OBJECT
public:
    using Callback = std::function<void(const HttpJsonResult &)>;

    explicit HXHttpService(QObject *parent = nullptr);
    ~HXHttpService() override;

    void postJsonAsyn(const QUrl &url, const QByteArray &body, Callback callback);

    // Requests that take longer fail with a timeout; 30 s by default.
    void setTimeout(int msecs) { m_timeoutMs = msecs; }
    int timeout() const { return m_timeoutMs; }

    // Turns a finished reply into a result (exposed for the datasource service).
    static HttpJsonResult resultOf(QNetworkReply *reply);

private:
    QNetworkAccessManager *m_manager;
    QSet<QNetworkReply *> m_pending;
    int m_timeoutMs = 30000;
};

} // namespace HXDataApi
