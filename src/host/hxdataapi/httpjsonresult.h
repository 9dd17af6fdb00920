#pragma once

#include "zhphost_global.h"

#include <QJsonDocument>
#include <QString>

namespace HXDataApi {

// The outcome of an HTTP JSON request. On success `data` holds the parsed
// body; otherwise `errorMsg` says what went wrong in words a user can read
// (the HTTP status and the server's own message when it sent one).
struct ZHPHOST_EXPORT HttpJsonResult
{
    bool success = false;
    QJsonDocument data;
    QString errorMsg;
    int statusCode = 0; // 0 when no HTTP answer arrived
};

} // namespace HXDataApi
