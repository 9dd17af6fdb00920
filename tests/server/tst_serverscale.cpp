// zhp-server under hostile and heavy clients, and several servers on one
// database: every limit answers before the work is done, nobody starves, and
// concurrent writes to one tree lose and duplicate nothing.

#include "serverfixture.h"

#include "storage.h"

#include "pgcluster.h"
#include "rawhttp.h"
#include "zhpserverprocess.h"
#include "zhptest.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QtTest>

#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <thread>

using namespace ServerTest;
using namespace RawHttp;

namespace {

QByteArray gzip(const QByteArray &data)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(data.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(int(z.total_out));
    deflateEnd(&z);
    return out;
}

const QByteArray kTree = "/user/compositepanel/user/tree";

// The header that signs a raw request in with a token of `userId`, issued by
// the one-shot command beside the running server.
QByteArray bearer(const QString &db, const QString &userId)
{
    const QString token = ZhpServerProcess::issueToken(db, userId);
    return token.isEmpty() ? QByteArray() : "Authorization: Bearer " + token.toUtf8() + "\r\n";
}
const QByteArray kAdd = "/user/compositepanel/user/add";

} // namespace

class TestServerScale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        // Seeding a PostgreSQL database takes a while on a busy machine.
        QVERIFY2(m_server.start(m_fixture.dbPath(), {QStringLiteral("--seed"), QStringLiteral("--threads"), QStringLiteral("4")}, 180000),
                 qPrintable(m_server.errorText()));
        m_auth = bearer(m_fixture.dbPath(), QStringLiteral("u1"));
        QVERIFY(!m_auth.isEmpty());
    }

    void cleanupTestCase() { m_server.stop(); }

    // Requests over a limit are refused with the reason before the work they
    // would cost, and the server goes on serving.
    void refusedBeforeTheWork_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QByteArray tree = R"({"userId":"u1","prodId":"P001"})";
        QByteArray manyHeaders, hugeHeaders;
        for (int i = 0; i < 101; ++i)
            manyHeaders += "X-Filler-" + QByteArray::number(i) + ": 1\r\n";
        for (int i = 0; i < 400; ++i)
            hugeHeaders += "X-Big-" + QByteArray::number(i) + ": " + QByteArray(100, 'y') + "\r\n";
        const QByteArray bomb = "{\"a\":\"" + QByteArray(40 << 20, 'x') + "\"}";
        QByteArray chunked;
        const QByteArray chunk = QByteArray::number(1 << 20, 16) + "\r\n" + QByteArray(1 << 20, ' ') + "\r\n";
        for (int i = 0; i < 40; ++i)
            chunked += chunk;
        QByteArray nested = QByteArray(5000, '[') + QByteArray(5000, ']');

        QTest::newRow("many header lines") << postRequest(kTree, tree, m_auth + manyHeaders) << 431 << "more than 100 header lines";
        QTest::newRow("huge head") << postRequest(kTree, tree, m_auth + hugeHeaders) << 431 << "request head larger than 32 KiB";
        QTest::newRow("declared body too large") << QByteArray("POST /user/compositepanel/user/tree HTTP/1.1\r\nContent-Length: 40000000\r\n\r\n{}") << 413 << "larger than the limit";
        QTest::newRow("conflicting lengths") << QByteArray("POST /user/compositepanel/user/tree HTTP/1.1\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\n{}") << 400 << "conflicting Content-Length";
        QTest::newRow("length and chunks") << QByteArray("POST /user/compositepanel/user/tree HTTP/1.1\r\nContent-Length: 2\r\nTransfer-Encoding: chunked\r\n\r\n{}") << 400 << "Content-Length and Transfer-Encoding";
        QTest::newRow("compressed bomb") << postRequest(kTree, gzip(bomb), m_auth + "Content-Encoding: gzip\r\n") << 413 << "larger than 32 MiB once decompressed";
        QTest::newRow("endless chunks") << postRequest(kTree, chunked, m_auth + "Transfer-Encoding: chunked\r\n") << 413 << "request body larger than 32 MiB";
        QTest::newRow("deeply nested") << postRequest(kTree, nested, m_auth) << 400 << "request body is not JSON";
        QTest::newRow("invalid UTF-8") << postRequest(kTree, "{\"userId\":\"\xff\xfe\",\"prodId\":\"P001\"}", m_auth) << 400 << "request body is not JSON";
        QTest::newRow("body to no endpoint") << postRequest("/nowhere", chunked, m_auth + "Transfer-Encoding: chunked\r\n") << 404 << "no endpoint POST /nowhere";
    }

    void refusedBeforeTheWork()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QByteArray answer = exchange(m_server.port(), request);
        QVERIFY2(statusOf(answer) == status, answer.left(300).constData());
        QVERIFY2(answer.contains(message.toUtf8()), answer.left(300).constData());
        QCOMPARE(statusOf(exchange(m_server.port(), "GET /status HTTP/1.1\r\nHost: x\r\n\r\n")), 200);
        // The log line of the refusal tells how long the request took, from its connection on.
        const QString line = m_server.log().split(QLatin1Char('\n')).filter(QStringLiteral(" %1 ").arg(status)).value(0);
        const QRegularExpressionMatch ms = QRegularExpression(QStringLiteral(" ([0-9.]+) ms ")).match(line);
        QVERIFY2(ms.hasMatch() && ms.captured(1).toDouble() < 20000, qPrintable(line));
    }

    // Connections that send their head byte by byte, or nothing, hold no
    // worker; heavy queries leave workers to page requests.
    void slowAndHeavyClientsDoNotStarveOthers()
    {
        std::vector<int> slow;
        for (int i = 0; i < 64; ++i) {
            const int sock = connectTo(m_server.port());
            QVERIFY(sock >= 0);
            ::send(sock, "POST /user/compositepanel/user/tree HTTP/1.1\r\nHo", 48, MSG_NOSIGNAL);
            slow.push_back(sock);
        }
        const QByteArray page = postRequest("/user/compositepanel/page/get", R"({"padId":"NOPE"})", m_auth);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(statusOf(exchange(m_server.port(), page)), 404);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));

        // 32 queries of every value, on 4 workers.
        const QByteArray heavy = postRequest("/datasource/query", R"({"objName":"ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"})", m_auth);
        std::atomic<int> heavyOk{0};
        std::vector<std::thread> clients;
        timer.restart();
        for (int i = 0; i < 32; ++i)
            clients.emplace_back([&] { heavyOk += statusOf(exchange(m_server.port(), heavy)) == 200; });
        QThread::msleep(100);
        qint64 worstPage = 0;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer one;
            one.start();
            QCOMPARE(statusOf(exchange(m_server.port(), page)), 404);
            worstPage = qMax(worstPage, one.elapsed());
        }
        for (std::thread &t : clients)
            t.join();
        const qint64 heavyTime = timer.elapsed();
        for (int sock : slow)
            ::close(sock);
        QCOMPARE(heavyOk.load(), 32);
        QVERIFY2(worstPage * 4 < heavyTime, qPrintable(QStringLiteral("page %1 ms while the heavy queries took %2 ms").arg(worstPage).arg(heavyTime)));
    }

    // Answers are whole at any size, under and over the 4000 rows from which
    // a query waits for the large-answer slot: every value is the values of
    // the indices below a bound and of those from it on.
    void answersWholeAtAnySize_data()
    {
        QTest::addColumn<qint64>("bound");
        QTest::newRow("small and large") << qint64(2001000000002);
        QTest::newRow("large and large") << qint64(2001000000003);
    }

    void answersWholeAtAnySize()
    {
        QFETCH(qint64, bound);
        const auto rows = [&](const char *filter) {
            const QByteArray body = json({{"objName", "ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"}, {"filter", filter}, {"params", QJsonObject{{"B", bound}}}});
            return QJsonDocument::fromJson(bodyOf(exchange(m_server.port(), postRequest("/datasource/query", body, m_auth)))).array().size();
        };
        const int below = rows("IDX_ID < :B");
        QVERIFY(below > 0);
        QCOMPARE(rows(""), below + rows("IDX_ID >= :B"));
    }

    // Connections that send their head too slowly, or nothing, are answered
    // 408 and closed at the deadline.
    void slowAndIdleConnectionsClosed()
    {
        QTemporaryDir dir;
        ZhpServerProcess server;
        QVERIFY2(server.start(dir.filePath(QStringLiteral("slow.sqlite")), {QStringLiteral("--head-timeout"), QStringLiteral("1")}), qPrintable(server.errorText()));
        const int idle = connectTo(server.port(), 10);
        const int slow = connectTo(server.port(), 10);
        QElapsedTimer timer;
        timer.start();
        for (const char *byte : {"G", "E", "T"}) {
            QCOMPARE(::send(slow, byte, 1, MSG_NOSIGNAL), ssize_t(1));
            QThread::msleep(400);
        }
        for (int sock : {idle, slow}) {
            char answer[512] = {};
            const ssize_t n = ::recv(sock, answer, sizeof answer - 1, MSG_WAITALL);
            QVERIFY2(n > 0 && QByteArray(answer).startsWith("HTTP/1.1 408") && QByteArray(answer).contains("request head not received within 1 s"), answer);
            ::close(sock);
        }
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(server.stop(), 0);
    }

    // SQLite: a second server on the file is refused while tools still read
    // it. PostgreSQL: two servers share the database, and concurrent writes
    // to one tree keep every node once, at positions 0..n-1.
    void serversSharingADatabase()
    {
        ZhpServerProcess second;
        if (!PgCluster::selected()) {
            QVERIFY(!second.start(m_fixture.dbPath()));
            QVERIFY2(second.log().contains(QStringLiteral("is already served by another zhp-server")), qPrintable(second.log()));
            zhpserver::Storage tool(m_fixture.dbPath());
            QString error;
            QVERIFY2(tool.open(&error), qPrintable(error));
            QSqlQuery q(tool.connection());
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM tree_node")) && q.next() && q.value(0).toInt() > 0);
            return;
        }
        QVERIFY2(second.start(m_fixture.dbPath(), {}, 60000), qPrintable(second.errorText()));
        const QByteArray shared = bearer(m_fixture.dbPath(), QStringLiteral("shared"));
        QVERIFY(!shared.isEmpty());
        const int ports[] = {m_server.port(), second.port()};
        std::atomic<int> acknowledged{0}, failed{0};
        QStringList added[8];
        std::vector<std::thread> writers;
        for (int w = 0; w < 8; ++w) {
            writers.emplace_back([&, w] {
                for (int i = 0; i < 15; ++i) {
                    const QString code = QStringLiteral("W%1N%2").arg(w).arg(i);
                    const QByteArray body = json({{"userId", "shared"}, {"prodId", "P001"}, {"nodeCode", code}, {"parentNodeCode", "ROOT"}, {"nodeName", code}, {"sn", (w + i) % 4}});
                    if (statusOf(exchange(ports[(w + i) % 2], postRequest(kAdd, body, shared))) == 200) {
                        added[w].append(code);
                        ++acknowledged;
                    } else {
                        ++failed;
                    }
                    if (i % 3 == 2) { // and move one of its own to the front
                        const QByteArray move = json({{"userId", "shared"}, {"prodId", "P001"}, {"nodeCode", added[w].value(0)}, {"parentNodeCode", "ROOT"}, {"sn", 0}});
                        failed += statusOf(exchange(ports[i % 2], postRequest("/user/compositepanel/user/changePosition", move, shared))) != 200;
                    }
                }
            });
        }
        for (std::thread &t : writers)
            t.join();
        QCOMPARE(failed.load(), 0);
        const QByteArray answer = exchange(second.port(), postRequest(kTree, R"({"userId":"shared","prodId":"P001"})", shared));
        const QJsonArray nodes = QJsonDocument::fromJson(bodyOf(answer)).array();
        QCOMPARE(nodes.size(), acknowledged.load());
        QSet<QString> codes;
        QList<int> positions;
        for (const QJsonValue &n : nodes) {
            codes.insert(n["NODE_CODE"].toString());
            positions.append(n["SN"].toInt());
        }
        for (const QStringList &list : added)
            for (const QString &code : list)
                QVERIFY2(codes.contains(code), qPrintable(code));
        for (int i = 0; i < positions.size(); ++i)
            QCOMPARE(positions.at(i), i);
        QCOMPARE(second.stop(), 0);
    }

    // A database file deleted under the server: writes are refused loudly,
    // the health check fails, and a restart says it creates a new file.
    void lostDatabaseFile()
    {
        if (PgCluster::selected())
            QSKIP("concerns SQLite files only");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("lost.sqlite"));
        ZhpServerProcess server;
        QVERIFY2(server.start(file), qPrintable(server.errorText()));
        const QByteArray add = postRequest(kAdd, R"({"userId":"u1","prodId":"P001","nodeCode":"LOST1","parentNodeCode":"ROOT","nodeName":"x"})",
                                           bearer(file, QStringLiteral("u1")));
        QCOMPARE(statusOf(exchange(server.port(), add)), 200);
        QVERIFY(QFile::remove(file));
        const QByteArray refused = exchange(server.port(), add);
        QVERIFY2(statusOf(refused) == 503, bodyOf(refused).constData());
        QVERIFY(refused.contains("deleted or replaced"));
        QCOMPARE(statusOf(exchange(server.port(), "GET /status HTTP/1.1\r\n\r\n")), 503);
        QVERIFY2(server.log().contains(QStringLiteral("was deleted or replaced while the server ran")), qPrintable(server.log()));
        QCOMPARE(server.stop(), 0);
        QVERIFY2(server.start(file), qPrintable(server.errorText()));
        QVERIFY2(server.log().contains(QStringLiteral("creating a new database")), qPrintable(server.log()));
        QCOMPARE(server.stop(), 0);
    }

private:
    Fixture m_fixture;
    ZhpServerProcess m_server;
    QByteArray m_auth; // a token of u1
};

QTEST_GUILESS_MAIN(TestServerScale)
#include "tst_serverscale.moc"
