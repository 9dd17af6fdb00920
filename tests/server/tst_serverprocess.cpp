// The zhp-server program itself: it prints its port, seeds a new file,
// answers the clients, logs each request and stops cleanly on SIGTERM.

#include "serverfixture.h"

#include "seeddata.h"
#include "wk/wkappconfig.h"

#include "zhpserverprocess.h"
#include "zhptest.h"

#include <QDir>
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
        const QString token = ZhpServerProcess::issueToken(db, QStringLiteral("u1001"));
        QVERIFY(!token.isEmpty());
        WKAppConfig::instance()->setAccessToken(token);
        ZhpServerProcess server;
        QVERIFY2(server.start(db, {QStringLiteral("--seed"), QStringLiteral("--seed-end"), QStringLiteral("2024-12-31")}), qPrintable(server.errorText()));
        useServer(server.baseUrl());

        const HttpJsonResult frequencies = query(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"));
        QVERIFY2(frequencies.success, qPrintable(frequencies.errorMsg));
        pageContent(QString::fromLatin1(zhpserver::seed::DashboardPad)); // logged below
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

    // Bad options exit 2, a server that cannot start exits 1 with the reason;
    // none of them leaves a file or folder behind.
    void refusesToStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("port not a number") << QStringList{"--port", "http"} << 2 << "--port needs a number";
        QTest::newRow("stray argument") << QStringList{"extra"} << 2 << "unexpected argument extra";
        QTest::newRow("missing folder") << QStringList{"--db", "@/no/such/dir/x.sqlite"} << 1 << "the folder @/no/such/dir does not exist";
        QTest::newRow("other engine") << QStringList{"--db", "mysql://u@localhost/zhp"} << 1 << "database URLs of mysql are not supported";
        QTest::newRow("URL without database") << QStringList{"--db", "postgresql://u@localhost"} << 1 << "names no database";
        QTest::newRow("port in use") << QStringList{"--db", "@/new.sqlite", "--port", "@port"} << 1 << "cannot listen on 127.0.0.1:@port: Address already in use";
    }

    void refusesToStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        ZhpServerProcess busy;
        QVERIFY2(busy.start(dir.filePath(QStringLiteral("busy.sqlite"))), qPrintable(busy.errorText()));
        const auto fill = [&](QString text) { return text.replace(QLatin1String("@port"), QString::number(busy.port())).replace(QLatin1Char('@'), dir.path()); };
        for (QString &a : arguments)
            a = fill(a);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(ZhpServerProcess::program(), arguments);
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), exitCode);
        const QString error = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(error.contains(fill(message)), qPrintable(error));
        QCOMPARE(p.readAllStandardOutput(), QByteArray());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }
};

QTEST_GUILESS_MAIN(TestServerProcess)
#include "tst_serverprocess.moc"
