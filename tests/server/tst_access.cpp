// Who may do what: every endpoint with the tokens of owners, other users,
// product editors and readers, and with missing, forged, revoked and
// malformed tokens; each request is checked for its status and for what it
// changed. Tokens are issued and revoked beside the running server, and
// kept as hashes.

#include "serverfixture.h"

#include "auth.h"
#include "seeddata.h"
#include "storage.h"

#include "zhptest.h"

#include <httplib.h>

#include <QSqlQuery>
#include <QtTest>

using namespace ServerTest;
namespace seed = zhpserver::seed;

namespace {

const QString kBase = QStringLiteral("/user/compositepanel/");
const QString kProductCategory = QStringLiteral("5EEC0000000000000000000000000001"); // P001
const QString kIronOreCategory = QStringLiteral("5EEC0000000000000000000000000009"); // P004
const QString kMyBoard = QStringLiteral("5EEC0000000000000000000000000101");         // u1001
const QString kOtherCategory = QStringLiteral("5EEC0000000000000000000000000201");   // u1002
const QString kUserDoomed = QStringLiteral("ACCESSDELU");                            // u1001, made by initTestCase
const QString kProductDoomed = QStringLiteral("ACCESSDELP");                         // P001, made by initTestCase

// The parts of the stored state that a request could touch.
enum Part { OwnTree, OtherTree, ProductTree, SecondProductTree, ProductPage, OwnPage, OtherPage, ExportCounts, NoPart = -1 };

struct Answer
{
    int status = 0;
    QJsonDocument doc;
};

} // namespace

class TestAccess : public QObject
{
    Q_OBJECT

    Fixture m_fixture;
    QHash<QString, QString> m_tokens; // user -> token

    QString token(const QString &user, const QStringList &editorOf = {})
    {
        QString token, error;
        if (!m_fixture.server().issueToken(user, editorOf, QString(), &token, &error))
            qFatal("cannot issue a token: %s", qPrintable(error));
        return token;
    }

    static httplib::Headers bearer(const QString &token) { return {{"Authorization", "Bearer " + token.toStdString()}}; }

    // The Authorization headers a caller sends: the token of a known user,
    // or one of the wrong shapes.
    httplib::Headers headersOf(const QString &who) const
    {
        const QHash<QString, httplib::Headers> shapes{
            {"none", {}},
            {"forged", bearer(QStringLiteral("zhp_") + QString(43, QLatin1Char('A')))},
            {"empty", {{"Authorization", "Bearer "}}},
            {"basic", {{"Authorization", "Basic dTEwMDE6c2VjcmV0"}}},
            {"huge", bearer(m_tokens.value("u1001") + QString(6000, QLatin1Char('x')))},
            {"twice", {{"Authorization", "Bearer " + m_tokens.value("u1001").toStdString()}, {"Authorization", "Bearer " + m_tokens.value("u1002").toStdString()}}}};
        return m_tokens.contains(who) ? bearer(m_tokens.value(who)) : shapes.value(who);
    }

    Answer send(const QString &who, const QString &path, const QByteArray &body, const char *contentType = "application/json")
    {
        httplib::Client client("127.0.0.1", m_fixture.server().port());
        client.set_read_timeout(30, 0);
        const auto r = client.Post(path.toStdString(), headersOf(who), body.constData(), size_t(body.size()), contentType);
        Answer a;
        if (!r)
            return a;
        a.status = r->status;
        a.doc = QJsonDocument::fromJson(QByteArray::fromStdString(r->body));
        return a;
    }

    Answer call(const QString &who, const QString &op, const QJsonObject &body) { return send(who, kBase + op, json(body)); }

    QJsonValue content(const QString &who, const char *padId)
    {
        const Answer a = call(who, "page/get", {{"padId", QLatin1String(padId)}});
        return a.status == 200 ? a.doc["padCont"] : QJsonValue(a.status);
    }

    // Everything the table's requests could change, part by part.
    QJsonArray state()
    {
        const QJsonObject p001{{"productCode", "P001"}}, p004{{"productCode", "P004"}}, own{{"prodId", "P001"}};
        return {call("u1001", "user/tree", own).doc.array(),
                call("u1002", "user/tree", own).doc.array(),
                call("u1001", "node/tree", p001).doc.array(),
                call("u1001", "node/tree", p004).doc.array(),
                content("u1001", seed::MacroPad),
                content("u1001", seed::UserPad),
                content("u1002", seed::OtherUserPad),
                QJsonArray{send("u1001", "/user/export/count", "{}").doc["count"], send("u1002", "/user/export/count", "{}").doc["count"]}};
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QString error;
        QVERIFY2(m_fixture.start(true, &error, {}), qPrintable(error));
        m_tokens.insert("u1001", token("u1001"));
        m_tokens.insert("u1002", token("u1002"));
        m_tokens.insert("editor", token("e1", {"P001"}));
        m_tokens.insert("revoked", token("gone"));
        QString second;
        QVERIFY(m_fixture.server().issueToken("gone", {}, QString(), &second, &error)); // ended as well

        // Another handle on the same database, as another process would have:
        // the running server sees its changes with the next request.
        zhpserver::Storage storage(m_fixture.dbPath());
        QVERIFY2(storage.open(&error), qPrintable(error));
        zhpserver::Auth other(storage);
        QCOMPARE(other.revokeTokens("gone", &error), 2);
        QString late;
        QVERIFY(other.issueToken("late", {}, QString(), &late, &error));
        m_tokens.insert("late", late);

        QCOMPARE(call("u1001", "user/add", {{"prodId", "P001"}, {"nodeCode", kUserDoomed}, {"parentNodeCode", "ROOT"}, {"nodeName", "删"}}).status, 200);
        QCOMPARE(call("editor", "node/add", {{"productCode", "P001"}, {"nodeCode", kProductDoomed}, {"parentNodeCode", "ROOT"}, {"nodeName", "删"}}).status, 200);
    }

    void cleanupTestCase() { m_fixture.stop(); }

    void rules_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("changes");
        QTest::addColumn<QByteArray>("type");
        const auto row = [](const char *name, const char *who, const QString &path, const QJsonObject &body, int status, Part changes = NoPart,
                            const char *type = "application/json") {
            QTest::newRow(name) << QString::fromLatin1(who) << path << json(body) << status << int(changes) << QByteArray(type);
        };
        const auto op = [](const char *path) -> QString { return kBase + QLatin1String(path); };
        const QJsonObject own{{"prodId", "P001"}};
        const QJsonObject asOther = with(own, {{"userId", "u1002"}});
        const QString dashboard = QString::fromLatin1(seed::DashboardPad), userPad = QString::fromLatin1(seed::UserPad),
                      otherPad = QString::fromLatin1(seed::OtherUserPad), macroPad = QString::fromLatin1(seed::MacroPad);

        // A user tree and its pages belong to their user.
        row("own rename", "u1001", op("user/edit"), with(own, {{"nodeCode", kMyBoard}, {"nodeName", "我的看板2"}}), 200, OwnTree);
        row("own add, userId named", "u1001", op("user/add"), with(own, {{"userId", "u1001"}, {"nodeCode", "ACC1"}, {"parentNodeCode", "ROOT"}, {"nodeName", "新"}}), 200, OwnTree);
        row("own delete", "u1001", op("user/delete"), with(own, {{"nodeCode", kUserDoomed}}), 200, OwnTree);
        row("own page saved", "u1001", op("userPage/updateContent"), {{"padId", userPad}, {"content", "{\"v\":1}"}}, 200, OwnPage);
        row("other's tree by userId", "u1001", op("user/tree"), asOther, 403);
        row("other's rename by userId", "u1001", op("user/edit"), with(asOther, {{"nodeCode", kOtherCategory}, {"nodeName", "偷改"}}), 403);
        row("other's delete by userId", "u1001", op("user/delete"), with(asOther, {{"nodeCode", kOtherCategory}}), 403);
        row("other's page saved by userId", "u1001", op("userPage/updateContent"), {{"userId", "u1002"}, {"padId", otherPad}, {"content", "{}"}}, 403);
        row("other's node as own", "u1001", op("user/delete"), with(own, {{"nodeCode", kOtherCategory}}), 404);
        row("other's page saved as own", "u1002", op("userPage/updateContent"), {{"padId", userPad}, {"content", "{}"}}, 404);
        // Pages of other users are not there for them, also as a save-as source.
        row("other's page read", "u1002", op("page/get"), {{"padId", userPad}}, 404);
        row("other's page copied", "u1002", op("user/saveAs"), with(own, {{"parentNodeCode", kOtherCategory}, {"padId", userPad}, {"nodeName", "窃"}}), 404);
        row("other's page copied to product", "editor", op("node/saveAs"), {{"productCode", "P001"}, {"parentNodeCode", "ROOT"}, {"padId", otherPad}, {"nodeName", "窃"}}, 404);
        row("product page copied", "u1002", op("user/saveAs"), with(own, {{"parentNodeCode", kOtherCategory}, {"padId", dashboard}, {"nodeName", "副本"}}), 200, OtherTree);
        // Product trees: read by all (the state above reads them as a reader), written by their editors only.
        row("reader renames", "u1001", op("node/edit"), {{"nodeCode", kProductCategory}, {"nodeName", "偷改"}}, 403);
        row("reader deletes", "u1001", op("node/delete"), {{"nodeCode", kProductCategory}}, 403);
        row("reader adds", "u1001", op("node/add"), {{"productCode", "P001"}, {"nodeCode", "ACC2"}, {"parentNodeCode", "ROOT"}, {"nodeName", "x"}}, 403);
        row("reader moves", "u1001", op("node/changePosition"), {{"productCode", "P001"}, {"nodeCode", kProductCategory}, {"parentNodeCode", "ROOT"}, {"sn", 2}}, 403);
        row("reader copies in", "u1001", op("node/saveAs"), {{"productCode", "P001"}, {"parentNodeCode", "ROOT"}, {"padId", dashboard}, {"nodeName", "x"}}, 403);
        row("reader saves page", "u1001", op("page/updateContent"), {{"padId", macroPad}, {"content", "{}"}}, 403);
        row("editor renames", "editor", op("node/edit"), {{"nodeCode", kProductCategory}, {"nodeName", "价格监测2"}}, 200, ProductTree);
        row("editor adds", "editor", op("node/add"), {{"productCode", "P001"}, {"nodeCode", "ACC3"}, {"parentNodeCode", "ROOT"}, {"nodeName", "新"}}, 200, ProductTree);
        row("editor deletes", "editor", op("node/delete"), {{"nodeCode", kProductDoomed}}, 200, ProductTree);
        row("editor saves page", "editor", op("page/updateContent"), {{"padId", macroPad}, {"content", "{\"v\":2}"}}, 200, ProductPage);
        row("editor of another product", "editor", op("node/edit"), {{"nodeCode", kIronOreCategory}, {"nodeName", "偷改"}}, 403);
        row("editor copies elsewhere", "editor", op("node/saveAs"), {{"productCode", "P004"}, {"parentNodeCode", "ROOT"}, {"padId", dashboard}, {"nodeName", "x"}}, 403);
        row("editor in a user tree", "editor", op("user/edit"), with(own, {{"userId", "u1001"}, {"nodeCode", kMyBoard}, {"nodeName", "x"}}), 403);
        // Tokens: missing, forged, revoked and of every wrong shape; one issued by another process.
        for (const char *who : {"none", "forged", "revoked", "empty", "basic", "huge", "twice"})
            row(qPrintable(QStringLiteral("%1 token").arg(who)), who, op("user/tree"), own, 401);
        row("token from another process", "late", op("node/tree"), {{"productCode", "P001"}}, 200);
        row("unknown path", "none", "/user/nothing", {}, 401);
        // Only JSON is served, so that no web page can post a plain form.
        const QJsonObject add = with(own, {{"nodeCode", "ACC4"}, {"parentNodeCode", "ROOT"}, {"nodeName", "x"}});
        for (const char *type : {"text/plain", "application/x-www-form-urlencoded", "multipart/form-data; boundary=x", ""})
            row(qPrintable(QStringLiteral("sent as %1").arg(type)), "u1001", op("user/add"), add, 415, NoPart, type);
        row("sent as JSON in capitals", "u1001", op("user/add"), add, 200, OwnTree, "Application/JSON; charset=utf-8");
        // The export quota.
        row("reserve", "u1002", "/user/export/reserve", {{"count", 2}}, 200, ExportCounts);
        for (const QJsonValue &count : {QJsonValue(0), QJsonValue(-3), QJsonValue(1.5), QJsonValue(1e12), QJsonValue("3"), QJsonValue()})
            row(qPrintable("count " + QString::fromUtf8(json({{"c", count}}))), "u1001", "/user/export/reserve", {{"count", count}}, 400);
    }

    void rules()
    {
        QFETCH(QString, who);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(int, changes);
        QFETCH(QByteArray, type);
        const QJsonArray before = state();
        const Answer a = send(who, path, body, type.constData());
        QCOMPARE(a.status, status);
        if (status >= 400)
            QVERIFY2(!a.doc["message"].toString().isEmpty(), qPrintable(a.doc.toJson()));
        const QJsonArray after = state();
        for (int part = 0; part < before.size(); ++part) {
            if (part == changes)
                QVERIFY2(after[part] != before[part], qPrintable(QStringLiteral("part %1 did not change").arg(part)));
            else
                QVERIFY2(after[part] == before[part], qPrintable(QStringLiteral("part %1 changed").arg(part)));
        }
    }

    // The public health check names no file.
    void statusTellsNoPath()
    {
        httplib::Client client("127.0.0.1", m_fixture.server().port());
        const auto status = client.Get("/status");
        QVERIFY(status && status->status == 200);
        QVERIFY2(!QString::fromStdString(status->body).contains(QLatin1Char('/')), status->body.c_str());
    }

    // The database keeps hashes only.
    void noTokenInClear()
    {
        zhpserver::Storage storage(m_fixture.dbPath());
        QString error;
        QVERIFY2(storage.open(&error), qPrintable(error));
        QSqlQuery q(storage.connection());
        QVERIFY(q.exec(QStringLiteral("SELECT token_hash, user_id, label FROM access_token")));
        QSet<QString> hashes;
        while (q.next()) {
            for (int i = 0; i < 3; ++i)
                for (const QString &token : qAsConst(m_tokens))
                    QVERIFY(!q.value(i).toString().contains(token.mid(4, 16)));
            hashes.insert(q.value(0).toString());
        }
        QVERIFY(hashes.contains(zhpserver::Auth::hashOf(m_tokens.value("u1001"))));
    }
};

QTEST_GUILESS_MAIN(TestAccess)
#include "tst_access.moc"
