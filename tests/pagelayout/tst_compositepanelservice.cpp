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

class TstCompositePanelService : public QObject
{
    Q_OBJECT

    HttpTestServer m_server;
    HttpTestServer m_other;
    std::mutex m_mutex;
    QList<QPair<QString, QByteArray>> m_requests;

    QStringList m_servedBy;

    void record(const char *server, const httplib::Request &req, httplib::Response &res)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.append({QString::fromStdString(req.path), QByteArray::fromStdString(req.body)});
        m_servedBy.append(server);
        res.set_content("[]", "application/json");
    }

    // Runs one operation and returns the path and the body the server got.
    std::pair<QString, QJsonObject> sent(const std::function<void(CPCompositePanelService &, CPCompositePanelService::Callback)> &op,
                                     QByteArray *raw = nullptr)
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
        if (raw)
            *raw = m_requests.last().second;
        return {m_requests.last().first, QJsonDocument::fromJson(m_requests.last().second).object()};
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        for (auto [s, name] : {std::pair{&m_server, "main"}, std::pair{&m_other, "other"}}) {
            s->server().Post(R"(/user/compositepanel/.*)", [this, name = name](const httplib::Request &req, httplib::Response &res) {
                record(name, req, res);
            });
            QVERIFY(s->start());
        }
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl() + "/");
        WKAppConfig::instance()->setUserInfo({"u7", "测试"});
        WKAppConfig::instance()->setProductId("P3");
    }

    void nodeBodies()
    {
        QByteArray raw;
        auto [path, body] = sent([](auto &s, auto cb) { s.addNode("N1", "ROOT", "钢材", "P3", "PAD9", false, 2, cb); }, &raw);
        QCOMPARE(path, QString("/user/compositepanel/node/add"));
        QVERIFY(!body.contains("padId"));
        QCOMPARE(body.value("pad"), QJsonValue(false));
        QCOMPARE(body.value("sn"), QJsonValue(2));
        QCOMPARE(body.value("userId").toString(), QString("u7"));
        QCOMPARE(body.value("prodId").toString(), QString("P3"));
        QCOMPARE(body.value("productCode").toString(), QString("P3"));
        QCOMPARE(body.keys(), (QStringList{"nodeCode", "nodeName", "pad", "parentNodeCode", "prodId", "productCode", "sn", "userId"}));
        QVERIFY(raw.contains("\n    \"nodeCode\": \"N1\"")); // the indented writer, keys in order

        std::tie(path, body) = sent([](auto &s, auto cb) { s.addUserNode("N2", "C1", "我的页", "PAD9", true, 0, cb); });
        QCOMPARE(path, QString("/user/compositepanel/user/add"));
        QCOMPARE(body.value("padId").toString(), QString("PAD9"));
        QCOMPARE(body.value("pad"), QJsonValue(true));

        std::tie(path, body) = sent([](auto &s, auto cb) { s.moveNode("N1", "C2", "P3", 4, cb); });
        QCOMPARE(path, QString("/user/compositepanel/node/changePosition"));
        QCOMPARE(body.keys(), (QStringList{"nodeCode", "parentNodeCode", "productCode", "sn"}));

        std::tie(path, body) = sent([](auto &s, auto cb) { s.moveUserNode("N1", "C2", 1, cb); });
        QCOMPARE(path, QString("/user/compositepanel/user/changePosition"));
        QCOMPARE(body.keys(), (QStringList{"nodeCode", "parentNodeCode", "prodId", "sn", "userId"}));

        std::tie(path, body) = sent([](auto &s, auto cb) { s.deleteNode("N1", cb); });
        QCOMPARE(body.keys(), QStringList{"nodeCode"});
        std::tie(path, body) = sent([](auto &s, auto cb) { s.deleteUserNode("N1", cb); });
        QCOMPARE(path, QString("/user/compositepanel/user/delete"));
        QCOMPARE(body.keys(), (QStringList{"nodeCode", "prodId", "userId"}));

        std::tie(path, body) = sent([](auto &s, auto cb) { s.editNode("N1", "新名", cb); });
        QCOMPARE(body.keys(), (QStringList{"nodeCode", "nodeName"}));
        std::tie(path, body) = sent([](auto &s, auto cb) { s.editUserNode("N1", "新名", cb); });
        QCOMPARE(body.keys(), (QStringList{"nodeCode", "nodeName", "prodId", "userId"}));

        std::tie(path, body) = sent([](auto &s, auto cb) { s.saveAsNode("副本", "C1", "P3", "PAD9", cb); });
        QCOMPARE(path, QString("/user/compositepanel/node/saveAs"));
        QCOMPARE(body.keys(), (QStringList{"nodeName", "padId", "parentNodeCode", "prodId", "productCode", "userId"}));
        std::tie(path, body) = sent([](auto &s, auto cb) { s.saveAsUserNode("副本", "C1", "PAD9", cb); });
        QCOMPARE(body.keys(), (QStringList{"nodeName", "padId", "parentNodeCode", "prodId", "userId"}));

        std::tie(path, body) = sent([](auto &s, auto cb) { s.getNodeData("P3", cb); });
        QCOMPARE(path, QString("/user/compositepanel/node/tree"));
        QCOMPARE(body.keys(), QStringList{"productCode"});
        std::tie(path, body) = sent([](auto &s, auto cb) { s.getUserData(cb); });
        QCOMPARE(path, QString("/user/compositepanel/user/tree"));
        QCOMPARE(body.keys(), (QStringList{"prodId", "userId"}));
    }

    void pageBodies()
    {
        auto [path, body] = sent([](auto &s, auto cb) { s.updatePageContent("PAD9", "{\"a\":1}", cb); });
        QCOMPARE(path, QString("/user/compositepanel/page/updateContent"));
        QCOMPARE(body.keys(), (QStringList{"content", "padId", "userId"}));
        QCOMPARE(body.value("content").toString(), QString("{\"a\":1}"));
        std::tie(path, body) = sent([](auto &s, auto cb) { s.updateUserPageContent("PAD9", "{}", cb); });
        QCOMPARE(path, QString("/user/compositepanel/userPage/updateContent"));
    }

    void baseUrlIsReadForEveryRequest()
    {
        CPCompositePanelService service;
        int calls = 0;
        service.deleteNode("A", [&](const auto &) { ++calls; });
        QTRY_COMPARE(calls, 1);
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_other.baseUrl() + "/");
        service.deleteNode("B", [&](const auto &) { ++calls; });
        QTRY_COMPARE(calls, 2);
        QCOMPARE(m_servedBy.mid(m_servedBy.size() - 2), (QStringList{"main", "other"}));
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl() + "/");
    }
};

QTEST_MAIN(TstCompositePanelService)
#include "tst_compositepanelservice.moc"
