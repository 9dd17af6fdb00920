// Request bodies of the composite panel client, as a server receives them.
#include "httptestserver.h"
#include "zhptest.h"

#include "pagelayout/cpcompositepanelservice.h"
#include "wk/wkappconfig.h"
#include "wk/wkserviceconfig.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <mutex>

using namespace HXCPControls;
using Op = std::function<void(CPCompositePanelService &, CPCompositePanelService::Callback)>;

class TstCompositePanelService : public QObject
{
    Q_OBJECT

    HttpTestServer m_server;
    HttpTestServer m_other;
    std::mutex m_mutex;
    QList<QPair<QString, QByteArray>> m_requests;
    QStringList m_servedBy;

    // Runs one operation and returns the path and the raw body the server got.
    QPair<QString, QByteArray> sent(const Op &op)
    {
        CPCompositePanelService service;
        int calls = 0;
        bool success = false;
        op(service, [&](const HXDataApi::HttpJsonResult &r) {
            ++calls;
            success = r.success;
        });
        [&] { QTRY_COMPARE(calls, 1); }();
        [&] { QVERIFY(success); }();
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests.last();
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        for (auto [s, name] : {std::pair{&m_server, "main"}, std::pair{&m_other, "other"}}) {
            s->server().Post(R"(/user/compositepanel/.*)", [this, name = name](const httplib::Request &req, httplib::Response &res) {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.append({QString::fromStdString(req.path), QByteArray::fromStdString(req.body)});
                m_servedBy.append(name);
                res.set_content("[]", "application/json");
            });
            QVERIFY(s->start());
        }
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl() + "/");
        WKAppConfig::instance()->setUserInfo({"u7", "测试"});
        WKAppConfig::instance()->setProductId("P3");
    }

    void requestBodies()
    {
        const QString addKeys = "nodeCode nodeName pad parentNodeCode prodId productCode sn userId";
        const struct {
            const char *path;
            Op op;
            QString keys;
            QJsonObject values;
        } cases[] = {
            {"node/add", [](auto &s, auto cb) { s.addNode("N1", "ROOT", "钢材", "P3", "PAD9", false, 2, cb); }, addKeys,
             {{"pad", false}, {"sn", 2}, {"userId", "u7"}, {"prodId", "P3"}, {"productCode", "P3"}, {"nodeName", "钢材"}}},
            {"user/add", [](auto &s, auto cb) { s.addUserNode("N2", "C1", "我的页", "PAD9", true, 0, cb); },
             "nodeCode nodeName pad padId parentNodeCode prodId sn userId", {{"padId", "PAD9"}, {"pad", true}}},
            {"node/changePosition", [](auto &s, auto cb) { s.moveNode("N1", "C2", "P3", 4, cb); },
             "nodeCode parentNodeCode productCode sn", {{"sn", 4}, {"parentNodeCode", "C2"}}},
            {"user/changePosition", [](auto &s, auto cb) { s.moveUserNode("N1", "C2", 1, cb); },
             "nodeCode parentNodeCode prodId sn userId", {{"sn", 1}}},
            {"node/delete", [](auto &s, auto cb) { s.deleteNode("N1", cb); }, "nodeCode", {}},
            {"user/delete", [](auto &s, auto cb) { s.deleteUserNode("N1", cb); }, "nodeCode prodId userId", {}},
            {"node/edit", [](auto &s, auto cb) { s.editNode("N1", "新名", cb); }, "nodeCode nodeName", {{"nodeName", "新名"}}},
            {"user/edit", [](auto &s, auto cb) { s.editUserNode("N1", "新名", cb); }, "nodeCode nodeName prodId userId", {}},
            {"node/saveAs", [](auto &s, auto cb) { s.saveAsNode("副本", "C1", "P3", "PAD9", cb); },
             "nodeName padId parentNodeCode prodId productCode userId", {{"padId", "PAD9"}}},
            {"user/saveAs", [](auto &s, auto cb) { s.saveAsUserNode("副本", "C1", "PAD9", cb); },
             "nodeName padId parentNodeCode prodId userId", {}},
            {"node/tree", [](auto &s, auto cb) { s.getNodeData("P3", cb); }, "productCode", {}},
            {"user/tree", [](auto &s, auto cb) { s.getUserData(cb); }, "prodId userId", {}},
            {"page/updateContent", [](auto &s, auto cb) { s.updatePageContent("PAD9", "{\"a\":1}", cb); },
             "content padId userId", {{"content", "{\"a\":1}"}}},
            {"userPage/updateContent", [](auto &s, auto cb) { s.updateUserPageContent("PAD9", "{}", cb); },
             "content padId userId", {{"content", "{}"}}},
        };
        for (const auto &c : cases) {
            const auto [path, raw] = sent(c.op);
            const QJsonObject body = QJsonDocument::fromJson(raw).object();
            QCOMPARE(path, "/user/compositepanel/" + QString(c.path));
            QCOMPARE(body.keys(), c.keys.split(' '));
            for (auto it = c.values.begin(); it != c.values.end(); ++it)
                QCOMPARE(body.value(it.key()), it.value());
        }
    }

    void baseUrlIsReadForEveryRequest()
    {
        sent([](auto &s, auto cb) { s.deleteNode("A", cb); });
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_other.baseUrl() + "/");
        sent([](auto &s, auto cb) { s.deleteNode("B", cb); });
        QCOMPARE(m_servedBy.mid(m_servedBy.size() - 2), (QStringList{"main", "other"}));
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl() + "/");
    }
};

QTEST_MAIN(TstCompositePanelService)
#include "tst_compositepanelservice.moc"
