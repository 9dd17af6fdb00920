#include "cpcompositepanelservice.h"

#include "hxdataapi/hxhttpservice.h"
#include "wk/wkappconfig.h"
#include "wk/wkserviceconfig.h"

#include <QJsonDocument>
#include <QUrl>

namespace HXCPControls {

using HXDataApi::HXHttpService;

CPCompositePanelService::CPCompositePanelService()
    : m_http(new HXHttpService)
{
}

CPCompositePanelService::~CPCompositePanelService()
{
    delete m_http;
}

void CPCompositePanelService::post(const QString &path, const QJsonObject &body, Callback cb)
{
    // The base URL is read for every request so that a changed configuration applies at once.
    const QUrl base(WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString()));
    m_http->postJsonAsyn(base.resolved(QUrl(path)), QJsonDocument(body).toJson(), std::move(cb));
}

QJsonObject CPCompositePanelService::withUser(QJsonObject body)
{
    body.insert(QStringLiteral("userId"), WKAppConfig::instance()->getUserInfo().userId);
    body.insert(QStringLiteral("prodId"), WKAppConfig::instance()->getProuctId());
    return body;
}

void CPCompositePanelService::getPageById(const QString &padId, Callback cb)
{
    const WKHttpInfo info =
        WKServiceConfig::instance()->getHttpInfo(QStringLiteral("servercfg.ini:ZHP_GET"), QStringLiteral("{\"padId\":\"%1\"}"));
    m_http->postJsonAsyn(info.url, info.body.arg(padId).toUtf8(), std::move(cb));
}

void CPCompositePanelService::updatePageContent(const QString &padId, const QString &content, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/page/updateContent"),
         {{QStringLiteral("userId"), WKAppConfig::instance()->getUserInfo().userId},
          {QStringLiteral("padId"), padId},
          {QStringLiteral("content"), content}},
         std::move(cb));
}

void CPCompositePanelService::updateUserPageContent(const QString &padId, const QString &content, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/userPage/updateContent"),
         {{QStringLiteral("userId"), WKAppConfig::instance()->getUserInfo().userId},
          {QStringLiteral("padId"), padId},
          {QStringLiteral("content"), content}},
         std::move(cb));
}

void CPCompositePanelService::getNodeData(const QString &productCode, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/node/tree"), {{QStringLiteral("productCode"), productCode}}, std::move(cb));
}

void CPCompositePanelService::getUserData(Callback cb)
{
    post(QStringLiteral("/user/compositepanel/user/tree"), withUser({}), std::move(cb));
}

void CPCompositePanelService::addNode(const QString &nodeCode, const QString &parentNodeCode, const QString &nodeName,
                                      const QString &productCode, const QString &padId, bool pad, int sn, Callback cb)
{
    QJsonObject body = withUser({{QStringLiteral("nodeCode"), nodeCode},
                                 {QStringLiteral("parentNodeCode"), parentNodeCode},
                                 {QStringLiteral("nodeName"), nodeName},
                                 {QStringLiteral("productCode"), productCode},
                                 {QStringLiteral("pad"), pad},
                                 {QStringLiteral("sn"), sn}});
    if (pad)
        body.insert(QStringLiteral("padId"), padId);
    post(QStringLiteral("/user/compositepanel/node/add"), body, std::move(cb));
}

void CPCompositePanelService::addUserNode(const QString &nodeCode, const QString &parentNodeCode,
                                          const QString &nodeName, const QString &padId, bool pad, int sn, Callback cb)
{
    QJsonObject body = withUser({{QStringLiteral("nodeCode"), nodeCode},
                                 {QStringLiteral("parentNodeCode"), parentNodeCode},
                                 {QStringLiteral("nodeName"), nodeName},
                                 {QStringLiteral("pad"), pad},
                                 {QStringLiteral("sn"), sn}});
    if (pad)
        body.insert(QStringLiteral("padId"), padId);
    post(QStringLiteral("/user/compositepanel/user/add"), body, std::move(cb));
}

void CPCompositePanelService::moveNode(const QString &nodeCode, const QString &parentNodeCode,
                                       const QString &productCode, int sn, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/node/changePosition"),
         {{QStringLiteral("nodeCode"), nodeCode},
          {QStringLiteral("parentNodeCode"), parentNodeCode},
          {QStringLiteral("productCode"), productCode},
          {QStringLiteral("sn"), sn}},
         std::move(cb));
}

void CPCompositePanelService::moveUserNode(const QString &nodeCode, const QString &parentNodeCode, int sn, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/user/changePosition"),
         withUser({{QStringLiteral("nodeCode"), nodeCode},
                   {QStringLiteral("parentNodeCode"), parentNodeCode},
                   {QStringLiteral("sn"), sn}}),
         std::move(cb));
}

void CPCompositePanelService::deleteNode(const QString &nodeCode, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/node/delete"), {{QStringLiteral("nodeCode"), nodeCode}}, std::move(cb));
}

void CPCompositePanelService::deleteUserNode(const QString &nodeCode, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/user/delete"), withUser({{QStringLiteral("nodeCode"), nodeCode}}),
         std::move(cb));
}

void CPCompositePanelService::editNode(const QString &nodeCode, const QString &nodeName, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/node/edit"),
         {{QStringLiteral("nodeCode"), nodeCode}, {QStringLiteral("nodeName"), nodeName}}, std::move(cb));
}

void CPCompositePanelService::editUserNode(const QString &nodeCode, const QString &nodeName, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/user/edit"),
         withUser({{QStringLiteral("nodeCode"), nodeCode}, {QStringLiteral("nodeName"), nodeName}}), std::move(cb));
}

void CPCompositePanelService::saveAsNode(const QString &nodeName, const QString &parentNodeCode,
                                         const QString &productCode, const QString &padId, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/node/saveAs"),
         withUser({{QStringLiteral("parentNodeCode"), parentNodeCode},
                   {QStringLiteral("productCode"), productCode},
                   {QStringLiteral("padId"), padId},
                   {QStringLiteral("nodeName"), nodeName}}),
         std::move(cb));
}

void CPCompositePanelService::saveAsUserNode(const QString &nodeName, const QString &parentNodeCode,
                                             const QString &padId, Callback cb)
{
    post(QStringLiteral("/user/compositepanel/user/saveAs"),
         withUser({{QStringLiteral("parentNodeCode"), parentNodeCode},
                   {QStringLiteral("padId"), padId},
                   {QStringLiteral("nodeName"), nodeName}}),
         std::move(cb));
}

} // namespace HXCPControls
