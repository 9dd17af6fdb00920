#pragma once

#include "zhphost_global.h"

#include <QString>

class QNetworkRequest;

namespace HXDataApi {

// Adds "Authorization: Bearer <token>" with the configured access token
// (WKAppConfig::getAccessToken()) to a request for the configured server:
// the request's scheme, host and port must be those of the base URL
// "servercfg.ini:Global", so that the token never goes to another host.
// Without a token or a configured server the request is left as it is.
//
// Every request of the data access layer passes through it; a widget that
// makes its own requests (the product menu's icons, with its own
// QNetworkAccessManager) calls it on each QNetworkRequest before sending.
ZHPHOST_EXPORT void addAccessToken(QNetworkRequest &request);

// What a user reads when the server refuses the token (HTTP 401): how to get
// one and where to put it.
ZHPHOST_EXPORT QString accessTokenHint();
// What a user reads when the server refuses a change (HTTP 403).
ZHPHOST_EXPORT QString accessDeniedHint();

} // namespace HXDataApi
