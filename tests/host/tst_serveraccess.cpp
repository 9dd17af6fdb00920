// The terminal's services against the zhp-server program: they send the
// configured token (issued and revoked by the program beside the running
// server), say how to get one when the server refuses it, keep the token to
// the configured server, and count exports on the server.

#include "serverfixture.h"
#include "zhpserverprocess.h"
#include "zhptest.h"

#include "hxdataapi/hxaccesstoken.h"
#include "wk/wkappconfig.h"
#include "wk/wkcfg.h"
#include "wk/wkexportmanger.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QtTest>

using namespace HXDataApi;

class TestServerAccess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ZhpServerProcess m_server;

    QString dbPath() const { return m_dir.filePath(QStringLiteral("access.sqlite")); }

    // Runs the program on the server's database beside the server.
    void manage(const QStringList &arguments, int expectedExit = 0)
    {
        QProcess p;
        p.start(ZhpServerProcess::program(), QStringList{QStringLiteral("--db"), dbPath()} + arguments);
        QVERIFY(p.waitForFinished(20000));
        QVERIFY2(p.exitCode() == expectedExit, p.readAllStandardError().constData());
    }

    void signIn(const QString &user) { WKAppConfig::instance()->setAccessToken(ZhpServerProcess::issueToken(dbPath(), user)); }

    static HttpJsonResult frequencies() { return ServerTest::query(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1")); }

    // A GET as the product menu makes for its icons, with its own network access manager.
    int iconStatus(const QString &baseUrl)
    {
        QNetworkAccessManager manager;
        QNetworkRequest request(QUrl(baseUrl).resolved(QUrl(QStringLiteral("/no-such-icon.png"))));
        addAccessToken(request);
        QNetworkReply *reply = manager.get(request);
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QVERIFY2(m_server.start(dbPath(), {QStringLiteral("--seed"), QStringLiteral("--seed-end"), QStringLiteral("2024-12-31"),
                                           QStringLiteral("--export-limit"), QStringLiteral("5"), QStringLiteral("--quiet")}),
                 qPrintable(m_server.errorText()));
        ServerTest::useServer(m_server.baseUrl());
    }

    void cleanupTestCase() { QCOMPARE(m_server.stop(), 0); }

    void servicesSendTheToken()
    {
        WKAppConfig::instance()->setAccessToken(QString());
        HttpJsonResult r = frequencies();
        QCOMPARE(r.statusCode, 401);
        QVERIFY2(r.errorMsg.contains(QStringLiteral("missing access token")) && r.errorMsg.contains(accessTokenHint()), qPrintable(r.errorMsg));
        QCOMPARE(iconStatus(m_server.baseUrl()), 401);

        // A token issued while the server runs counts at once, in every service.
        signIn(QStringLiteral("u1001"));
        r = frequencies();
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        r = ServerTest::postRaw(QStringLiteral("/user/compositepanel/user/tree"), R"({"prodId":"P001"})");
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        // A reader who changes a product tree is told why it was refused.
        r = ServerTest::postRaw(QStringLiteral("/user/compositepanel/node/edit"), R"({"nodeCode":"5EEC0000000000000000000000000001","nodeName":"x"})");
        QCOMPARE(r.statusCode, 403);
        QVERIFY2(r.errorMsg.contains(QStringLiteral("only its editors may")) && r.errorMsg.contains(accessDeniedHint()), qPrintable(r.errorMsg));
        QCOMPARE(iconStatus(m_server.baseUrl()), 404);

        // Another host never gets it.
        QNetworkRequest elsewhere(QUrl(QStringLiteral("http://127.0.0.2:%1/x").arg(m_server.port())));
        addAccessToken(elsewhere);
        QVERIFY(!elsewhere.hasRawHeader("Authorization"));
    }

    void revokedTokensEndAtOnce()
    {
        signIn(QStringLiteral("u1002"));
        QVERIFY(frequencies().success);
        manage({QStringLiteral("--revoke-tokens"), QStringLiteral("u1002")});
        QCOMPARE(frequencies().statusCode, 401);
        manage({QStringLiteral("--revoke-tokens"), QStringLiteral("nobody")}, 1);
        manage({QStringLiteral("--issue-token"), QStringLiteral("bad user")}, 1);
    }

    // The quota is the server's: deleting the local file resets nothing.
    void exportQuotaKeptByTheServer()
    {
        WKExportManger *exports = WKExportManger::instance();
        exports->setStorageFile(m_dir.filePath(QStringLiteral("export_counts.json")));
        signIn(QStringLiteral("x1"));
        QVERIFY(exports->reserveExportedIdxCount(QStringLiteral("x1"), 4));
        exports->updateExportedIdxCount(QStringLiteral("x1"), 1);
        QString error;
        QVERIFY(!exports->reserveExportedIdxCount(QStringLiteral("x1"), 1, &error));
        QVERIFY2(error.contains(QStringLiteral("HTTP 429")) && error.contains(QStringLiteral("limit of 5")), qPrintable(error));
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^the export of 2 indices by x1 was not counted: HTTP 429")));
        exports->updateExportedIdxCount(QStringLiteral("x1"), 2);
        QFile::remove(exports->storageFile());
        QCOMPARE(exports->getExportedIdxCount(QStringLiteral("x1")), 5);

        // A server that cannot be asked counts as a used-up quota.
        ServerTest::useServer(QStringLiteral("http://127.0.0.1:1/"));
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^the export count of x1 is not available: ")));
        QCOMPARE(exports->getExportedIdxCount(QStringLiteral("x1")), int(WKExportManger::Unavailable));
        ServerTest::useServer(m_server.baseUrl());
    }

    void tokenFromFileOrEnvironment()
    {
        QFile ini(WKCfg::instance()->stdPath(QStringLiteral("wkconfig"), QStringLiteral("appcfg.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[User]\nid=u1001\ntoken=zhp_fromfile\n");
        ini.close();
        qputenv("ZHP_TOKEN", "zhp_fromenv");
        WKAppConfig::instance()->reload();
        QCOMPARE(WKAppConfig::instance()->getAccessToken(), QStringLiteral("zhp_fromenv"));
        qunsetenv("ZHP_TOKEN");
        WKAppConfig::instance()->reload();
        QCOMPARE(WKAppConfig::instance()->getAccessToken(), QStringLiteral("zhp_fromfile"));
        QFile::remove(ini.fileName());
    }
};

QTEST_GUILESS_MAIN(TestServerAccess)
#include "tst_serveraccess.moc"
