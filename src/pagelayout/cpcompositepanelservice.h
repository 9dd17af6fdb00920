#pragma once

#include "common/hxcpcontrols_global.h"
#include "hxdataapi/httpjsonresult.h"

#include <QJsonObject>
#include <QString>

#include <functional>

namespace HXDataApi {
class HXHttpService;
}

namespace HXCPControls {

// Client of the composite panel server: page content and the category trees
// of products ("node" operations, keyed by product code) and of the current
// user ("user" operations, keyed by user and product). Every operation posts
// a JSON body and calls its callback once, on the GUI thread.
class HXCPCONTROLS_EXPORT CPCompositePanelService
{
public:
    using Callback = std::function<void(const HXDataApi::HttpJsonResult &)>;

    CPCompositePanelService();
    ~CPCompositePanelService();
    CPCompositePanelService(const CPCompositePanelService &) = delete;
    CPCompositePanelService &operator=(const CPCompositePanelService &) = delete;

    void getPageById(const QString &padId, Callback cb);
    void updatePageContent(const QString &padId, const QString &content, Callback cb);
    void updateUserPageContent(const QString &padId, const QString &content, Callback cb);

    void getNodeData(const QString &productCode, Callback cb);
    void getUserData(Callback cb);
    void addNode(const QString &nodeCode, const QString &parentNodeCode, const QString &nodeName,
                 const QString &productCode, const QString &padId, bool pad, int sn, Callback cb);
    void addUserNode(const QString &nodeCode, const QString &parentNodeCode, const QString &nodeName,
                     const QString &padId, bool pad, int sn, Callback cb);
    void moveNode(const QString &nodeCode, const QString &parentNodeCode, const QString &productCode, int sn,
                  Callback cb);
    void moveUserNode(const QString &nodeCode, const QString &parentNodeCode, int sn, Callback cb);
    void deleteNode(const QString &nodeCode, Callback cb);
    void deleteUserNode(const QString &nodeCode, Callback cb);
    void editNode(const QString &nodeCode, const QString &nodeName, Callback cb);
    void editUserNode(const QString &nodeCode, const QString &nodeName, Callback cb);
    void saveAsNode(const QString &nodeName, const QString &parentNodeCode, const QString &productCode,
                    const QString &padId, Callback cb);
    void saveAsUserNode(const QString &nodeName, const QString &parentNodeCode, const QString &padId, Callback cb);

private:
    void post(const QString &path, const QJsonObject &body, Callback cb);
    static QJsonObject withUser(QJsonObject body);

    HXDataApi::HXHttpService *m_http;
};

} // namespace HXCPControls
