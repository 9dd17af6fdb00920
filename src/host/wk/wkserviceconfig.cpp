#include "wkserviceconfig.h"

#include "wkcfg.h"
#include "wkcore.h"
#include "wkinifile.h"


WKServiceConfig *WKServiceConfig::instance()
{
    static WKServiceConfig config;
    return &config;
}

QString WKServiceConfig::fileValue(const QString &key, const QString &field) const
{
    QString file, group;
    if (!splitConfigKey(key, &file, &group))
        return QString();
    return WKIniFile::rawValue(WKCfg::instance()->stdPath(QStringLiteral("wkconfig"), file),
                               group + QLatin1Char('/') + field);
}

QString WKServiceConfig::getHttpUrl(const QString &key, const QString &def) const
{
    QString url = m_urls.value(key);
    if (url.isEmpty())
        url = fileValue(key, QStringLiteral("url"));
    return url.isEmpty() ? def : url;
}

WKHttpInfo WKServiceConfig::getHttpInfo(const QString &key, const QString &defBody) const
{
    QString url = m_urls.value(key);
    if (url.isEmpty())
        url = fileValue(key, QStringLiteral("url"));
    if (url.isEmpty() && key == QLatin1String("servercfg.ini:ZHP_GET"))
        url = QStringLiteral("/user/compositepanel/page/get"); // the page request of the bundled server
    QString body = m_bodies.value(key);
    if (body.isEmpty())
        body = fileValue(key, QStringLiteral("body"));

    WKHttpInfo info;
    const QUrl base(getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString()));
    info.url = base.resolved(QUrl(url));
    info.body = body.isEmpty() ? defBody : body;
    return info;
}

void WKServiceConfig::setHttpUrl(const QString &key, const QString &url)
{
    m_urls.insert(key, url);
}

void WKServiceConfig::setHttpInfo(const QString &key, const QString &url, const QString &bodyTemplate)
{
    m_urls.insert(key, url);
    m_bodies.insert(key, bodyTemplate);
}

void WKServiceConfig::clear()
{
    m_urls.clear();
    m_bodies.clear();
}
