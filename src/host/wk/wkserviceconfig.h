#pragma once

#include "zhphost_global.h"

#include <QHash>
#include <QString>
#include <QUrl>

// A configured HTTP request: where it goes and the template of its body.
struct ZHPHOST_EXPORT WKHttpInfo
{
    QUrl url;
    QString body;
};

// Service endpoints, read from servercfg.ini in the configuration folder:
//
//   [Global]
//   url=http://127.0.0.1:8600/
//   [ZHP_GET]
//   url=/user/compositepanel/page/get     ; relative URLs resolve against Global
//   body={"padId":"%1"}
//
// A key "servercfg.ini:Global" names the group "Global" of that file. Values
// set in memory (by the application or a test) take precedence over the file.
// Without any configuration, "servercfg.ini:ZHP_GET" is the page request of
// the bundled server, "/user/compositepanel/page/get".
class ZHPHOST_EXPORT WKServiceConfig
{
public:
    static WKServiceConfig *instance();

    // The base URL of `key`, or `def` when none is configured.
    QString getHttpUrl(const QString &key, const QString &def) const;
    // The request URL of `key` and its body template; `defBody` when none is configured.
    WKHttpInfo getHttpInfo(const QString &key, const QString &defBody) const;

    void setHttpUrl(const QString &key, const QString &url);
    void setHttpInfo(const QString &key, const QString &url, const QString &bodyTemplate);
    void clear();

private:
    WKServiceConfig() = default;
    QString fileValue(const QString &key, const QString &field) const;

    QHash<QString, QString> m_urls;
    QHash<QString, QString> m_bodies;
};
