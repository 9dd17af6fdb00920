#pragma once

#include "zhphost_global.h"

#include <QSet>
#include <QString>

// The signed-in user.
struct ZHPHOST_EXPORT WKUserInfo
{
    QString userId;
    QString userName;
};

// Who is working and on which product, and what they may do. Read once from
// appcfg.ini in the configuration folder:
//
//   [User]
//   id=u1001
//   name=...
//   token=zhp_...                   ; access token for the server (zhp-server --issue-token u1001)
//   [Product]
//   id=P001
//   [Rights]
//   export=IDX_DATA_EXPORT          ; comma-separated rights
//
// The environment variable ZHP_TOKEN, when set, takes the place of the
// token in the file. The application or a test may set every value directly.
class ZHPHOST_EXPORT WKAppConfig
{
public:
    static WKAppConfig *instance();

    QString getProuctId() const;
    WKUserInfo getUserInfo() const;
    bool canExport(const QString &right) const;
    // The bearer token that every request to the server carries (HXDataApi::addAccessToken).
    QString getAccessToken() const;

    void setProductId(const QString &productId);
    void setUserInfo(const WKUserInfo &user);
    void setExportRights(const QSet<QString> &rights);
    void setAccessToken(const QString &token);
    // Reads the file again, replacing what was set.
    void reload();

private:
    WKAppConfig();

    QString m_productId;
    WKUserInfo m_user;
    QSet<QString> m_exportRights;
    QString m_accessToken;
};
