// The zhp-server program itself: it prints its port, seeds a new file,
// answers the clients, logs each request and stops cleanly on SIGTERM.

#include "serverfixture.h"

#include "seeddata.h"
#include "wk/wkappconfig.h"

#include "zhpserverprocess.h"
#include "zhptest.h"

#include <QProcess>
#include <QtTest>

using namespace ServerTest;

class TestServerProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
    }

    void servesAndStops()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("process.sqlite"));
        // A token issued before the server first opens the file.
        QProcess issue;
        issue.start(ZhpServerProcess::program(), {QStringLiteral("--db"), db, QStringLiteral("--issue-token"), QStringLiteral("u1001")});
        QVERIFY(issue.waitForFinished(10000));
        QCOMPARE(issue.exitCode(), 0);
        WKAppConfig::instance()->setAccessToken(QString::fromLatin1(issue.readAllStandardOutput().trimmed()));
        ZhpServerProcess server;
        QVERIFY2(server.start(db, {QStringLiteral("--seed"), QStringLiteral("--seed-end"), QStringLiteral("2024-12-31")}), qPrintable(server.errorText()));
        QVERIFY(server.port() > 0);
        useServer(server.baseUrl());

        const HttpJsonResult frequencies = query(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"));
        QVERIFY2(frequencies.success, qPrintable(frequencies.errorMsg));
        QCOMPARE(rows(frequencies).size(), 5);
        int status = 0;
        QVERIFY(!pageContent(QString::fromLatin1(zhpserver::seed::DashboardPad), &status).isEmpty());
        QCOMPARE(status, 200);
        QCOMPARE(query(QStringLiteral("ZRN_GENERAL_INDEX_1"), QStringLiteral("IDX_ID ==")).statusCode, 400);

        QCOMPARE(server.stop(), 0);
        const QString log = server.log();
        for (const char *line : {"POST /datasource/query 200", "POST /user/compositepanel/page/get 200", "POST /datasource/query 400", "stopping on signal 15"})
            QVERIFY2(log.contains(QLatin1String(line)), qPrintable(log));

        // The file keeps what it was given and is not seeded twice.
        QVERIFY2(server.start(db, {QStringLiteral("--seed"), QStringLiteral("--quiet")}), qPrintable(server.errorText()));
        useServer(server.baseUrl());
        QCOMPARE(rows(query(QStringLiteral("ZRN_GET_ALL_PRODUCT_1"))).size(), 12);
        QCOMPARE(server.stop(), 0);
        QVERIFY(!server.log().contains(QStringLiteral("POST /datasource/query")));
    }

    void refusesBadArguments()
    {
        QProcess p;
        p.start(ZhpServerProcess::program(), {QStringLiteral("--port"), QStringLiteral("http")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("--port needs a number"));
        QCOMPARE(p.readAllStandardOutput(), QByteArray());

        // A port in use is reported, not ignored.
        QTemporaryDir dir;
        ZhpServerProcess first;
        QVERIFY2(first.start(dir.filePath(QStringLiteral("a.sqlite"))), qPrintable(first.errorText()));
        p.start(ZhpServerProcess::program(), {QStringLiteral("--db"), dir.filePath(QStringLiteral("b.sqlite")), QStringLiteral("--port"), QString::number(first.port())});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("cannot listen on 127.0.0.1:" + QByteArray::number(first.port())));
        QCOMPARE(first.stop(), 0);
    }
};

QTEST_GUILESS_MAIN(TestServerProcess)
#include "tst_serverprocess.moc"
