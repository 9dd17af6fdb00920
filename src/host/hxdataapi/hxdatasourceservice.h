#pragma once

#include "httpjsonresult.h"
#include "hxdsrequest.h"

#include <QObject>

#include <functional>

namespace HXDataApi {

class HXHttpService;

// Runs datasource queries against "<Global base URL>/datasource/query". A
// successful result holds the JSON array of rows, keyed by upper-case column
// names. The base URL is read from the service configuration for every query.
class ZHPHOST_EXPORT HXDatasourceService : public QObject
{
    Q_OBJECT
public:
    using Callback = std::function<void(const HttpJsonResult &)>;

    explicit HXDatasourceService(QObject *parent = nullptr);
    ~HXDatasourceService() override;

    // Blocks (running a local event loop) until the answer or the timeout.
    void getData(const HXDsRequest &request, HttpJsonResult &result);
    // Returns at once; `callback` runs once on the GUI thread.
    void getData(const HXDsRequest &request, Callback callback);

    // Applies to both forms; 30 s by default.
    void setTimeout(int msecs);
    int timeout() const;

    static QString endpointPath() { return QStringLiteral("/datasource/query"); }

private:
    QUrl endpoint() const;
    HXHttpService *m_http;
};

} // namespace HXDataApi
