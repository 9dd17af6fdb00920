#include "hxaccesstoken.h"

#include "wk/wkappconfig.h"
#include "wk/wkserviceconfig.h"

#include <QNetworkRequest>
#include <QUrl>

namespace HXDataApi {

namespace {

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    const auto defaultPort = [](const QUrl &u) { return u.scheme() == QLatin1String("https") ? 443 : 80; };
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 && a.host().compare(b.host(), Qt::CaseInsensitive) == 0
           && a.port(defaultPort(a)) == b.port(defaultPort(b));
}

} // namespace

void addAccessToken(QNetworkRequest &request)
{
    const QString token = WKAppConfig::instance()->getAccessToken();
    if (token.isEmpty())
        return;
    const QUrl server(WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString()));
    if (!server.isValid() || server.host().isEmpty() || !sameOrigin(server, request.url()))
        return;
    request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
}

QString accessTokenHint()
{
    return QStringLiteral("服务器不认可本终端的访问令牌。请向服务器管理员索取令牌"
                          "（zhp-server --issue-token 用户名），写入 config/appcfg.ini 的 [User] token=，"
                          "或设置环境变量 ZHP_TOKEN，然后重新启动终端。");
}

QString accessDeniedHint()
{
    return QStringLiteral("没有权限：用户页面只能由其本人修改，产品页面树只能由该产品的编辑者修改。");
}

} // namespace HXDataApi
