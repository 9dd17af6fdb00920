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
//   [Product]
//   id=P001
//   [Rights]
//   export=IDX_DATA_EXPORT          ; comma-separated rights
//
// The application or a test may set every value directly.
class ZHPHOST_EXPORT WKAppConfig
{
public:
    static WKAppConfig *instance();

    QString getProuctId() const;
    WKUserInfo getUserInfo() const;
    bool canExport(const QString &right) const;

    void setProductId(const QString &productId);
    void setUserInfo(const WKUserInfo &user);
    void setExportRights(const QSet<QString> &rights);
    // Reads the file again, replacing what was set.
    void reload();

private:
    WKAppConfig();

    QString m_productId;
    WKUserInfo m_user;
    QSet<QString> m_exportRights;
};
