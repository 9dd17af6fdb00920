#include "wkappconfig.h"

#include "wkcfg.h"

#include <QSettings>

WKAppConfig::WKAppConfig()
{
    reload();
}

WKAppConfig *WKAppConfig::instance()
{
    static WKAppConfig config;
    return &config;
}

void WKAppConfig::reload()
{
    const QSettings settings(WKCfg::instance()->stdPath(QStringLiteral("wkconfig"), QStringLiteral("appcfg.ini")),
                             QSettings::IniFormat);
    m_user.userId = settings.value(QStringLiteral("User/id")).toString();
    m_user.userName = settings.value(QStringLiteral("User/name")).toString();
    m_productId = settings.value(QStringLiteral("Product/id")).toString();
    m_accessToken = qEnvironmentVariable("ZHP_TOKEN").trimmed();
    if (m_accessToken.isEmpty())
        m_accessToken = settings.value(QStringLiteral("User/token")).toString().trimmed();
    m_exportRights.clear();
    // QSettings reads an unquoted comma-separated value as a list.
    for (const QString &right : settings.value(QStringLiteral("Rights/export")).toStringList()) {
        if (!right.trimmed().isEmpty())
            m_exportRights.insert(right.trimmed());
    }
}

QString WKAppConfig::getProuctId() const { return m_productId; }
WKUserInfo WKAppConfig::getUserInfo() const { return m_user; }
bool WKAppConfig::canExport(const QString &right) const { return m_exportRights.contains(right); }
QString WKAppConfig::getAccessToken() const { return m_accessToken; }
void WKAppConfig::setAccessToken(const QString &token) { m_accessToken = token; }
void WKAppConfig::setProductId(const QString &productId) { m_productId = productId; }
void WKAppConfig::setUserInfo(const WKUserInfo &user) { m_user = user; }
void WKAppConfig::setExportRights(const QSet<QString> &rights) { m_exportRights = rights; }
