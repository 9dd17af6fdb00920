#pragma once

// Signs the host layer in to a server that a test started in its process:
// every request of the data access layer then carries a token of `userId`.

#include "server.h"

#include "wk/wkappconfig.h"

namespace ZhpTest {

// Issues a token of `userId` (editor of every product tree unless told
// otherwise), sends it from now on and makes `userId` the host's user.
inline bool signIn(zhpserver::Server &server, const QString &userId = QStringLiteral("u1001"),
                   const QStringList &editorOf = {QStringLiteral("*")}, QString *error = nullptr)
{
    QString token;
    if (!server.issueToken(userId, editorOf, QString(), &token, error))
        return false;
    WKAppConfig *config = WKAppConfig::instance();
    config->setAccessToken(token);
    WKUserInfo user = config->getUserInfo();
    user.userId = userId;
    config->setUserInfo(user);
    return true;
}

} // namespace ZhpTest
