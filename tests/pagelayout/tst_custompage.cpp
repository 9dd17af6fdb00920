// The custom page: load paths, heights, modes and failures, against a real HTTP server.
#include "httptestserver.h"
#include "modalhelper.h"
#include "zhptest.h"

#include "pagelayout/cpcustompage.h"
#include "pagelayout/cpsplititem.h"
#include "pagelayout/cpsplitter.h"
#include "pagelayout/cpsplitview.h"
#include "wk/wkserviceconfig.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollArea>
#include <QToolButton>

#include <mutex>

using namespace HXCPControls;

namespace {

const char *kTwoItems = R"({"padID":"P-IN-CONTENT","zhpID":"z","rootItemType":"HXCPControls::CPSplitter",
  "rootObj":{"orientation":1,"sizes":[100,100],"children":[
    {"className":"HXCPControls::CPSplitItem","title":"甲","id":"{00000000-0000-0000-0000-00000000000a}"},
    {"className":"HXCPControls::CPSplitItem","title":"乙","id":"{00000000-0000-0000-0000-00000000000b}"}]},
  "height":%1})";

QString twoItems(int height)
{
    return QString::fromUtf8(kTwoItems).arg(height);
}

} // namespace

class TstCustomPage : public QObject
{
    Q_OBJECT

    HttpTestServer m_server;
    std::mutex m_mutex;
    QList<QByteArray> m_bodies;

    QList<QByteArray> bodies()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bodies;
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        m_server.server().Post("/user/compositepanel/page/get", [this](const httplib::Request &req, httplib::Response &res) {
            const QByteArray body = QByteArray::fromStdString(req.body);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_bodies.append(body);
            }
            const QString padId = QJsonDocument::fromJson(body).object().value("padId").toString();
            if (padId == "P404") {
                res.status = 500;
                res.set_content(R"({"message":"boom"})", "application/json");
                return;
            }
            const QString content = padId == "EMPTY" ? QString() : twoItems(600);
            res.set_content(QJsonDocument(QJsonObject{{"padCont", content}}).toJson().toStdString(), "application/json");
        });
        QVERIFY(m_server.start());
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl() + "/");
        WKServiceConfig::instance()->setHttpInfo("servercfg.ini:ZHP_GET", "/user/compositepanel/page/get", "");
    }

    void fixedAndResponsiveHeights()
    {
        CPCustomPage page(nullptr, true);
        QSignalSpy heights(&page, &CPCustomPage::initResponsiveHeight);
        page.loadDataByContent(twoItems(600));
        QCOMPARE(heights.last().first().toInt(), 600);
        page.resize(500, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(qobject_cast<QScrollArea *>(page.topWidget())->widget(), static_cast<QWidget *>(page.splitView()));
        QTRY_COMPARE(page.splitView()->height(), 600);
        QCOMPARE(page.padID(), QString("P-IN-CONTENT"));

        CPSplitView *before = page.splitView();
        page.setResponsiveHeight(800);
        QCOMPARE(page.splitView(), before);
        QCOMPARE(page.pageHeight(), 800);
        QTRY_COMPARE(page.splitView()->height(), 800);

        page.setResponsiveHeight(-1);
        QVERIFY(!qobject_cast<QScrollArea *>(page.topWidget()));
        QVERIFY(page.splitView() != before);
        QTRY_COMPARE(page.splitView()->height(), page.contentsRect().height() - 2);
        const QVariantMap content = page.getContent();
        QCOMPARE(content.value("height").toInt(), -1);
        // The tree came across the rebuild.
        const QVariantList children = content["rootObj"].toMap()["children"].toList();
        QCOMPARE(children.size(), 2);
        QCOMPARE(children[1].toMap().value("id").toString(), QString("{00000000-0000-0000-0000-00000000000b}"));

        page.setResponsiveHeight(0); // responsive to responsive: nothing happens
        QVERIFY(!qobject_cast<QScrollArea *>(page.topWidget()));
        page.setResponsiveHeight(300);
        QVERIFY(qobject_cast<QScrollArea *>(page.topWidget()));
        QCOMPARE(page.getContent().value("height").toInt(), 300);
    }

    void contentWithoutAUsableHeightIsResponsive()
    {
        CPCustomPage page(nullptr, true);
        // A new page: responsive, empty and in view mode.
        QCOMPARE(page.getContent().value("height").toInt(), -1);
        QVERIFY(page.readOnly() && !page.splitView()->editModel());
        QVERIFY(qobject_cast<CPSplitItem *>(page.splitView()->rootItem()));
        for (const QString &text : {twoItems(0), QString(R"({"rootObj":{}})"), twoItems(-20)}) {
            page.loadDataByContent(text);
            QCOMPARE(page.pageHeight(), -1);
            QVERIFY(!qobject_cast<QScrollArea *>(page.topWidget()));
            QCOMPARE(page.getContent().value("height").toInt(), -1);
        }
        // Malformed content is logged with where it is and gives an empty page;
        // the reason reaches the host.
        QSignalSpy failed(&page, &CPCustomPage::signalLoadFailed);
        ZhpTest::expectMessage(QtWarningMsg, "page content refused: unterminated object at offset 2");
        page.loadDataByContent("{{{ not json");
        QCOMPARE(failed.value(0).value(0).toString(), QString("unterminated object at offset 2"));
        ZhpTest::expectMessage(QtWarningMsg, "page content refused: rootObj: an object was expected");
        page.loadDataByMap({{"rootObj", QVariantList{1}}});
        QCOMPARE(page.loadError(), QString("rootObj: an object was expected"));
        page.loadDataByMap(QJsonDocument::fromJson(twoItems(250).toUtf8()).object().toVariantMap());
        QCOMPARE(page.pageHeight(), 250);
    }

    void editModeSurvivesALoad()
    {
        CPCustomPage page(nullptr, true);
        QSignalSpy modes(&page, &CPCustomPage::signalEditModelChanged);
        page.editable(true);
        QCOMPARE(modes.count(), 1);
        QVERIFY(!page.readOnly());
        // A new load keeps the mode.
        page.loadDataByContent(twoItems(-1));
        QVERIFY(page.splitView()->editModel());
        page.editable(false);
        QVERIFY(!page.splitView()->findChild<CPSplitter *>()->dragAllowed());
    }

    void loadingById()
    {
        const int before = bodies().size();
        CPCustomPage page(nullptr, true);
        page.loadDataById("P1");
        QTRY_COMPARE(page.padID(), QString("P1"));
        QCOMPARE(bodies().size(), before + 1);
        QCOMPARE(bodies().last(), QByteArray(R"({"padId":"P1"})"));
        QCOMPARE(page.pageHeight(), 600);
        // The page's ID goes to the new split view, and the content's own padID then wins.
        QCOMPARE(page.splitView()->padID(), QString("P-IN-CONTENT"));

        page.loadDataById("P1"); // already shown: no request
        QTest::qWait(100);
        QCOMPARE(bodies().size(), before + 1);

        page.loadDataByContent(R"({"rootObj":{}})");
        QVERIFY(page.padID().isEmpty());
        page.loadDataById("P1");
        QTRY_COMPARE(bodies().size(), before + 2);
        QTRY_COMPARE(page.padID(), QString("P1"));

        // A configured body template replaces the default one.
        WKServiceConfig::instance()->setHttpInfo("servercfg.ini:ZHP_GET", "/user/compositepanel/page/get",
                                                 R"({"padId":"%1","source":"cfg"})");
        page.loadDataById("EMPTY");
        QTRY_COMPARE(page.padID(), QString("EMPTY"));
        QCOMPARE(bodies().last(), QByteArray(R"({"padId":"EMPTY","source":"cfg"})"));
        QCOMPARE(page.pageHeight(), -1); // an empty page with the requested ID
        QVERIFY(qobject_cast<CPSplitItem *>(page.splitView()->rootItem()));
        WKServiceConfig::instance()->setHttpInfo("servercfg.ini:ZHP_GET", "/user/compositepanel/page/get", "");
    }

    void failedRequestShowsTheErrorAndAnEmptyPage()
    {
        CPCustomPage page(nullptr, true);
        page.loadDataByContent(twoItems(400));
        MessageBoxCatcher box;
        box.arm();
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^mPageService\\.getPageById\\(P404\\) error: "));
        page.loadDataById("P404");
        QTRY_COMPARE(box.title, QString("错误"));
        QVERIFY2(box.text.startsWith("mPageService.getPageById(P404) error: HTTP 500"), qPrintable(box.text));
        QVERIFY(box.text.endsWith("boom"));
        QTRY_COMPARE(page.pageHeight(), -1);
        QVERIFY(page.padID().isEmpty());
        QVERIFY(qobject_cast<CPSplitItem *>(page.splitView()->rootItem()));
    }
};

QTEST_MAIN(TstCustomPage)
#include "tst_custompage.moc"
