#include "hxhttpservice.h"

#include "hxaccesstoken.h"

#include "zhphostlog.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace HXDataApi {

HXHttpService::HXHttpService(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
}

HXHttpService::~HXHttpService()
{
    const auto pending = m_pending;
    for (QNetworkReply *reply : pending) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void HXHttpService::postJsonAsyn(const QUrl &url, const QByteArray &body, Callback callback)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json; charset=utf-8"));
    request.setRawHeader("Accept", "application/json");
    // Redirects are followed only on the same host: the token travels with them.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    addAccessToken(request);

    QNetworkReply *reply = m_manager->post(request, body);
    m_pending.insert(reply);
    // The whole request, connection included, must finish in time.
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply] {
        reply->setProperty("timedOut", true);
        reply->abort();
    });
    timer->start(m_timeoutMs);
    QElapsedTimer elapsed;
    elapsed.start();
    connect(reply, &QNetworkReply::finished, this, [this, reply, elapsed, callback = std::move(callback)] {
        m_pending.remove(reply);
        reply->deleteLater();
        const HttpJsonResult result = resultOf(reply);
        if (!result.success)
            qCInfo(lcHost) << "POST" << reply->url().toString() << "failed:" << result.errorMsg;
        else
            qCDebug(lcHost).noquote() << "POST" << reply->url().path() << "answered" << result.statusCode << "in"
                                      << elapsed.elapsed() << "ms";
        if (callback)
            callback(result);
    });
}

// The server's own explanation in an error body, when it sent one.
static QString serverMessage(const QByteArray &body)
{
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (doc.isObject()) {
        const QJsonObject o = doc.object();
        for (const char *key : {"message", "msg", "error"}) {
            const QString text = o.value(QLatin1String(key)).toString();
            if (!text.isEmpty())
                return text;
        }
    }
    const QString text = QString::fromUtf8(body.left(200)).trimmed();
    return text;
}

HttpJsonResult HXHttpService::resultOf(QNetworkReply *reply)
{
    HttpJsonResult result;
    result.statusCode = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray();

    if (result.statusCode != 0 && (result.statusCode < 200 || result.statusCode > 299)) {
        const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        const QString message = serverMessage(body);
        result.errorMsg = QStringLiteral("HTTP %1 %2").arg(result.statusCode).arg(reason).trimmed();
        if (!message.isEmpty())
            result.errorMsg += QStringLiteral(": ") + message;
        if (result.statusCode == 401)
            result.errorMsg += QLatin1Char('\n') + accessTokenHint();
        else if (result.statusCode == 403)
            result.errorMsg += QLatin1Char('\n') + accessDeniedHint();
        return result;
    }
    if (reply->error() != QNetworkReply::NoError) {
        result.errorMsg = reply->property("timedOut").toBool()
                              ? QStringLiteral("request timed out: %1").arg(reply->url().toString())
                              : reply->errorString();
        return result;
    }

    QJsonParseError parseError;
    result.data = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.data = QJsonDocument();
        result.errorMsg = QStringLiteral("invalid JSON in the answer of %1: %2 at offset %3")
                              .arg(reply->url().toString(), parseError.errorString())
                              .arg(parseError.offset);
        return result;
    }
    result.success = true;
    return result;
}

} // namespace HXDataApi
