// The data access layer against a real HTTP server on a loopback port.
#include "httptestserver.h"
#include "zhptest.h"

#include "hxdataapi/hxdatasourceservice.h"
#include "hxdataapi/hxhttpservice.h"
#include "hxdataapi/hxtreeview.h"
#include "hxdataapi/hxvariantutil.h"
#include "wk/wkserviceconfig.h"

#include <httplib.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTcpServer>
#include <QTreeView>

#include <mutex>

using namespace HXDataApi;

class TstDataApi : public QObject
{
    Q_OBJECT

    HttpTestServer m_server;
    std::mutex m_mutex;
    QByteArray m_lastBody;

    QUrl url(const char *path) const { return QUrl(m_server.baseUrl() + path); }

    static HttpJsonResult post(const QUrl &target, const QByteArray &body = "{}")
    {
        HXHttpService http;
        HttpJsonResult result;
        int calls = 0;
        http.postJsonAsyn(target, body, [&](const HttpJsonResult &r) {
            result = r;
            ++calls;
        });
        [&] { QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000); }();
        return result;
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        auto &s = m_server.server();
        s.Post("/ok", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(R"({"padCont":"{}","n":1})", "application/json");
        });
        s.Post("/fail", [](const httplib::Request &, httplib::Response &res) {
            res.status = 400;
            res.set_content(R"({"message":"unknown field FOO in the filter"})", "application/json");
        });
        s.Post("/garbled", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("<html>oops</html>", "text/html");
        });
        s.Post("/datasource/query", [this](const httplib::Request &req, httplib::Response &res) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_lastBody = QByteArray::fromStdString(req.body);
            }
            const QJsonObject q = QJsonDocument::fromJson(QByteArray::fromStdString(req.body)).object();
            if (q.value("objName").toString() == "SLOW")
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            if (q.value("objName").toString() == "NOT_ROWS")
                res.set_content(R"({"rows":[]})", "application/json");
            else
                res.set_content(R"([{"IDX_ID":9007199254740991,"INDEX_NAME":"螺纹钢","PUBLISH_DT":1735689600000}])",
                                "application/json");
        });
        QVERIFY(m_server.start());
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl() + "/");
    }

    // Every answer is either JSON of a 2xx status or an error that says why.
    void postAnswers_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        // A port that was free a moment ago and has no listener now.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString closed = QString("http://127.0.0.1:%1/x").arg(probe.serverPort());
        probe.close();
        QTest::newRow("answered") << url("/ok").toString() << 200 << "";
        QTest::newRow("refused with a reason") << url("/fail").toString() << 400 << "HTTP 400 Bad Request: unknown field FOO in the filter";
        QTest::newRow("not JSON") << url("/garbled").toString() << 200 << "invalid JSON";
        QTest::newRow("no endpoint") << url("/nowhere").toString() << 404 << "HTTP 404";
        QTest::newRow("nobody listening") << closed << 0 << "refused";
    }

    void postAnswers()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(QString, error);
        const HttpJsonResult r = post(QUrl(target));
        QCOMPARE(r.statusCode, status);
        QCOMPARE(r.success, error.isEmpty());
        QVERIFY2(r.errorMsg.contains(error, Qt::CaseInsensitive), qPrintable(r.errorMsg));
        if (r.success)
            QCOMPARE(r.data.object().value("n").toInt(), 1);
    }

    void destroyedServiceDropsItsCallbacks()
    {
        int calls = 0;
        {
            HXHttpService http;
            http.postJsonAsyn(url("/datasource/query"), R"({"objName":"SLOW"})", [&](const HttpJsonResult &) { ++calls; });
        }
        QTest::qWait(1700);
        QCOMPARE(calls, 0);
    }

    void datasourceQuery()
    {
        HXDsRequest request;
        request.setObjName("ZRN_GENERAL_INDEX_1");
        request.setFilter("IDX_ID in :IDX_IDS && PUBLISH_DT >= [2020-01-01]");
        request.setFilterParams({{"IDX_IDS", QVariant::fromValue(QJsonArray{qint64(9007199254740991LL), 7})}});

        HXDatasourceService ds;
        HttpJsonResult blocking;
        ds.getData(request, blocking);
        QVERIFY2(blocking.success, qPrintable(blocking.errorMsg));
        // The large ID as written, not rounded through a double (the server tests check the rest of the request).
        QVERIFY(m_lastBody.contains("[9007199254740991,7]"));
        QCOMPARE(blocking.data.array().size(), 1);

        request.setObjName("NOT_ROWS");
        ds.getData(request, blocking);
        QVERIFY(!blocking.success);
        QVERIFY2(blocking.errorMsg.contains("not an array"), qPrintable(blocking.errorMsg));
    }

    void blockingQueryTimesOut()
    {
        HXDatasourceService ds;
        ds.setTimeout(300);
        HXDsRequest request;
        request.setObjName("SLOW");
        HttpJsonResult result;
        QElapsedTimer timer;
        timer.start();
        ds.getData(request, result);
        QVERIFY(timer.elapsed() < 1400);
        QVERIFY(!result.success);
        QVERIFY2(result.errorMsg.contains("timed out"), qPrintable(result.errorMsg));
    }

    void noServerConfigured()
    {
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", "");
        HXDatasourceService ds;
        HttpJsonResult result;
        ds.getData(HXDsRequest(), result);
        QVERIFY(!result.success);
        QVERIFY(result.errorMsg.contains("no datasource server configured"));
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl() + "/");
    }

    void variantConversions()
    {
        using HXUtils::HXVariantUtil;
        QCOMPARE(HXVariantUtil::toDate(QVariant(1735689600000.0), QDate()), QDate(2025, 1, 1));
        QCOMPARE(HXVariantUtil::toDate("2024-02-29", QDate()), QDate(2024, 2, 29));
        QCOMPARE(HXVariantUtil::toDate("2024-02-29 10:00:00", QDate()), QDate(2024, 2, 29));
        QVERIFY(!HXVariantUtil::toDate("2023-02-29", QDate()).isValid());
        QCOMPARE(HXVariantUtil::toDate(QVariant(), QDate(2000, 1, 1)), QDate(2000, 1, 1));
        QVERIFY(!HXVariantUtil::toDate(QVariant(qInf()), QDate()).isValid());

        QCOMPARE(HXVariantUtil::toString(QVariant(1234567.0), ""), QString("1234567"));
        QCOMPARE(HXVariantUtil::toString(QVariant(0.1 + 0.2), ""), QString("0.3"));
        QCOMPARE(HXVariantUtil::toString(QVariant::fromValue(QJsonValue()), "-"), QString("-"));
        QCOMPARE(HXVariantUtil::toString(QVariant::fromValue(QJsonValue(2.25)), "-"), QString("2.25"));
        QCOMPARE(HXVariantUtil::toString(QDate(2024, 1, 5), ""), QString("2024-01-05"));
    }

    void treeFromFlatRows()
    {
        const QJsonArray rows{
            QJsonObject{{"CAT_CODE", 3800}, {"P_CAT_CODE", 0}, {"CAT_NAME", "宏观"}, {"HAV_IDX", 0}},
            QJsonObject{{"CAT_CODE", 3810}, {"P_CAT_CODE", 3800}, {"CAT_NAME", "价格指数"}, {"HAV_IDX", 1}},
            QJsonObject{{"CAT_CODE", 3811}, {"P_CAT_CODE", 3810}, {"CAT_NAME", "居民消费"}, {"HAV_IDX", 1}},
            // Rows whose parents form a loop still show, at the top.
            QJsonObject{{"CAT_CODE", 1}, {"P_CAT_CODE", 2}, {"CAT_NAME", "甲"}, {"HAV_IDX", 0}},
            QJsonObject{{"CAT_CODE", 2}, {"P_CAT_CODE", 1}, {"CAT_NAME", "乙"}, {"HAV_IDX", 0}},
            "not an object",
        };
        HXControl::HXTreeView tree;
        QSignalSpy clicked(&tree, &HXControl::HXTreeView::clicked);
        tree.loadData(QJsonDocument(rows), "CAT_CODE", "P_CAT_CODE", "CAT_NAME", "", "", "HAV_IDX");
        QStandardItemModel *model = tree.model();
        QCOMPARE(model->rowCount(), 2); // 宏观, and one of the loop
        QCOMPARE(model->item(0)->text(), QString("宏观"));
        QCOMPARE(model->item(0)->child(0)->child(0)->text(), QString("居民消费"));
        QCOMPARE(model->item(0)->child(0)->data(HXControl::HXTreeView::FlagRole).toBool(), true);
        QCOMPARE(model->item(1)->data(HXControl::HXTreeView::FlagRole).toBool(), false);

        // Finding keeps the ancestors of a match.
        tree.findEdit()->setText("居民");
        QAbstractItemModel *shown = tree.treeView()->model();
        QCOMPARE(shown->rowCount(), 1);
        const QModelIndex top = shown->index(0, 0);
        QCOMPARE(shown->rowCount(top), 1);
        QCOMPARE(shown->index(0, 0, shown->index(0, 0, top)).data().toString(), QString("居民消费"));
        tree.findEdit()->clear();
        QCOMPARE(shown->rowCount(), 2);

        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QTest::mouseClick(tree.treeView()->viewport(), Qt::LeftButton, {}, tree.treeView()->visualRect(shown->index(0, 0)).center());
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.first().at(1).toMap().value("CAT_NAME").toString(), QString("宏观"));
        QCOMPARE(clicked.first().at(0).value<QModelIndex>(), tree.indexOfId("3800"));
    }
};

QTEST_MAIN(TstDataApi)
#include "tst_dataapi.moc"
