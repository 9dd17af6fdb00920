#include "hxdatasourceservice.h"

#include "hxhttpservice.h"
#include "wk/wkserviceconfig.h"
#include "zhphostlog.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>

namespace HXDataApi {

HXDatasourceService::HXDatasourceService(QObject *parent)
    : QObject(parent)
    , m_http(new HXHttpService(this))
{
}

HXDatasourceService::~HXDatasourceService() = default;

void HXDatasourceService::setTimeout(int msecs)
{
    m_http->setTimeout(msecs);
}

int HXDatasourceService::timeout() const
{
    return m_http->timeout();
}

QUrl HXDatasourceService::endpoint() const
{
    const QUrl base(WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString()));
    return base.resolved(QUrl(endpointPath()));
}

void HXDatasourceService::getData(const HXDsRequest &request, Callback callback)
{
    const QUrl url = endpoint();
    if (!url.isValid() || url.scheme().isEmpty()) {
        HttpJsonResult result;
        result.errorMsg = QStringLiteral("no datasource server configured (servercfg.ini:Global)");
        if (callback)
            callback(result);
        return;
    }
    const QByteArray body = QJsonDocument(request.toJson()).toJson(QJsonDocument::Compact);
    QElapsedTimer elapsed;
    elapsed.start();
    m_http->postJsonAsyn(url, body, [callback = std::move(callback), objName = request.objName(),
                                     elapsed](const HttpJsonResult &answer) {
        HttpJsonResult result = answer;
        if (result.success && !result.data.isArray()) {
            result.success = false;
            result.errorMsg = QStringLiteral("the datasource answer is not an array of rows");
        }
        if (result.success)
            qCDebug(lcHost).noquote() << "query" << objName << "answered" << result.data.array().size() << "rows in"
                                      << elapsed.elapsed() << "ms";
        else
            qCDebug(lcHost).noquote() << "query" << objName << "failed after" << elapsed.elapsed() << "ms:" << result.errorMsg;
        if (callback)
            callback(result);
    });
}

void HXDatasourceService::getData(const HXDsRequest &request, HttpJsonResult &result)
{
    QEventLoop loop;
    bool done = false;
    getData(request, [&](const HttpJsonResult &answer) {
        result = answer;
        done = true;
        loop.quit();
    });
    // The HTTP service's own timeout ends the request; the loop only waits for it.
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace HXDataApi
