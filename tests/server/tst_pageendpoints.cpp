// The page and category tree endpoints through the terminal's HTTP client:
// what each operation does to a tree, what is refused without changing
// anything (other users' nodes among it), that concurrent saves all land, and
// that everything survives a restart and a schema upgrade.

#include "serverfixture.h"

#include "seeddata.h"
#include "storage.h"

#include "zhptest.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace ServerTest;
namespace seed = zhpserver::seed;

namespace {

const QString kBase = QStringLiteral("/user/compositepanel/");
const QString kUser = QString::fromLatin1(seed::SampleUser);
const QString kProduct = QString::fromLatin1(seed::SampleProduct);
const QString kDashboardPad = QString::fromLatin1(seed::DashboardPad);
const QString kMacroPad = QString::fromLatin1(seed::MacroPad);
const QString kUserPad = QString::fromLatin1(seed::UserPad);
const QString kMyBoard = QStringLiteral("5EEC0000000000000000000000000101");       // u1001 category
const QString kUserPageNode = QStringLiteral("5EEC0000000000000000000000000102");  // a page in it
const QString kFavourites = QStringLiteral("5EEC0000000000000000000000000103");    // a category in it
const QString kOtherCategory = QStringLiteral("5EEC0000000000000000000000000201"); // u1002
const QString kProductCategory = QStringLiteral("5EEC0000000000000000000000000001"); // P001

HttpJsonResult call(const QString &op, const QJsonObject &body) { return post(kBase + op, body); }

QJsonObject user(const QString &userId = kUser, const QString &prodId = kProduct) { return {{"userId", userId}, {"prodId", prodId}}; }

QJsonArray userTree(const QString &userId = kUser, const QString &prodId = kProduct) { return call("user/tree", user(userId, prodId)).data.array(); }
QJsonArray productTree(const QString &product) { return call("node/tree", {{"productCode", product}}).data.array(); }

// The names of a level, in order.
QStringList names(const QJsonArray &nodes)
{
    QStringList out;
    for (const QJsonValue &v : nodes)
        out.append(v["NODE_NAME"].toString());
    return out;
}

QJsonObject find(const QJsonArray &nodes, const QString &code)
{
    for (const QJsonValue &v : nodes) {
        if (v["NODE_CODE"].toString() == code)
            return v.toObject();
        const QJsonObject inner = find(v["CHILDREN"].toArray(), code);
        if (!inner.isEmpty())
            return inner;
    }
    return QJsonObject();
}

QJsonArray childrenOf(const QJsonArray &tree, const QString &code) { return find(tree, code)["CHILDREN"].toArray(); }

HttpJsonResult addUserNode(const QString &code, const QString &parent, const QString &name, int sn, const QString &padId = QString())
{
    QJsonObject body = with(user(), {{"nodeCode", code}, {"parentNodeCode", parent}, {"nodeName", name}, {"pad", !padId.isEmpty()}, {"sn", sn}});
    if (!padId.isEmpty())
        body.insert("padId", padId);
    return call("user/add", body);
}

HttpJsonResult saveUserPage(const QString &padId, const QString &content)
{
    return call("userPage/updateContent", {{"userId", kUser}, {"padId", padId}, {"content", content}});
}

// Everything a refused request could have touched.
QJsonArray state()
{
    return {userTree(), productTree(kProduct), pageContent(kMacroPad), pageContent(kUserPad)};
}

} // namespace

class TestPageEndpoints : public QObject
{
    Q_OBJECT

private:
    Fixture m_fixture;

private slots:
    void initTestCase() { m_fixture.setUp(); }

    void cleanupTestCase() { m_fixture.stop(); }

    void treesArePerProduct()
    {
        QCOMPARE(productTree(QStringLiteral("P999")), QJsonArray());
        QCOMPARE(userTree(kUser, QString::fromLatin1(seed::SecondProduct)), QJsonArray());
    }

    void contentRoundTripsByteForByte()
    {
        // Not compact, with escapes and characters outside the BMP: the stored text is the sent text.
        const QString content = QStringLiteral("{\n  \"height\": 600,\n  \"title\": \"价格 \\\"看板\\\" \\u00e9 😀\",\n  \"rootObj\": {}  }");
        const HttpJsonResult r = saveUserPage(QString::fromLatin1(seed::UserEmptyPad), content);
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(pageContent(QString::fromLatin1(seed::UserEmptyPad)), content);
    }

    void addMoveRenameDelete()
    {
        const auto move = [](const QString &code, const QString &parent, int sn) {
            return call("user/changePosition", with(user(), {{"nodeCode", code}, {"parentNodeCode", parent}, {"sn", sn}})).success;
        };
        QVERIFY(addUserNode("MV1", "ROOT", "甲", 5).success);
        QVERIFY(addUserNode("MV2", "MV1", "乙", 0).success);
        QVERIFY(addUserNode("MV4", "MV1", "丁", 99).success); // beyond the end: appended
        QVERIFY(addUserNode("MV3", "MV1", "丙", 1, "PADMV3").success); // between the two
        const QJsonArray level = childrenOf(userTree(), "MV1");
        QCOMPARE(names(level), (QStringList{"乙", "丙", "丁"}));
        for (int i = 0; i < level.size(); ++i)
            QCOMPARE(level[i]["SN"].toInt(), i);
        int status = 0;
        QCOMPARE(pageContent("PADMV3", &status), QString()); // the new page exists, empty
        QCOMPARE(status, 200);

        QVERIFY(move("MV2", "MV1", 2)); // down within the parent
        QCOMPARE(names(childrenOf(userTree(), "MV1")), (QStringList{"丙", "丁", "乙"}));
        QVERIFY(move("MV2", "MV1", 0)); // and up again
        QCOMPARE(names(childrenOf(userTree(), "MV1")), (QStringList{"乙", "丙", "丁"}));
        QVERIFY(move("MV3", "MV2", 0)); // to another parent
        QJsonArray tree = userTree();
        QCOMPARE(names(childrenOf(tree, "MV1")), (QStringList{"乙", "丁"}));
        QCOMPARE(find(tree, "MV4")["SN"].toInt(), 1);
        QCOMPARE(find(tree, "MV3")["P_NODE_CODE"].toString(), QStringLiteral("MV2"));

        QVERIFY(call("user/edit", with(user(), {{"nodeCode", "MV4"}, {"nodeName", "戊"}})).success);
        QCOMPARE(find(userTree(), "MV4")["NODE_NAME"].toString(), QStringLiteral("戊"));

        // Deleting removes the whole branch and the pages in it; siblings close up.
        QVERIFY(saveUserPage("PADMV3", "{}").success);
        QVERIFY(call("user/delete", with(user(), {{"nodeCode", "MV2"}})).success);
        tree = userTree();
        QVERIFY(find(tree, "MV3").isEmpty());
        QCOMPARE(find(tree, "MV4")["SN"].toInt(), 0);
        pageContent("PADMV3", &status);
        QCOMPARE(status, 404);
    }

    void saveAsCopiesContent()
    {
        HttpJsonResult r = call("user/saveAs", with(user(), {{"parentNodeCode", kFavourites}, {"padId", kDashboardPad}, {"nodeName", "我的看板副本"}}));
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        const QString newPad = r.data["padId"].toString();
        QCOMPARE(pageContent(newPad), pageContent(kDashboardPad));
        QCOMPARE(childrenOf(userTree(), kFavourites).last()["PAD_ID"].toString(), newPad);
        // A page that has a node but no content yet is copied as an empty page.
        QVERIFY(call("user/add", with(user(), {{"nodeCode", "BLANKNODE"}, {"parentNodeCode", kFavourites}, {"nodeName", "空白"}, {"pad", true}, {"padId", "BLANKPAD"}})).success);
        r = call("user/saveAs", with(user(), {{"parentNodeCode", kFavourites}, {"padId", "BLANKPAD"}, {"nodeName", "空白副本"}}));
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        int status = 0;
        QCOMPARE(pageContent(r.data["padId"].toString(), &status), QString());
        QCOMPARE(status, 200);

        const QString secondProduct = QString::fromLatin1(seed::SecondProduct);
        r = call("node/saveAs", with(user(), {{"parentNodeCode", "ROOT"}, {"productCode", secondProduct}, {"padId", newPad}, {"nodeName", "副本"}}));
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(names(productTree(secondProduct)).last(), QStringLiteral("副本"));
    }

    void refusedRequests_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const char *op, const QJsonObject &body, int status, const QString &message) {
            QTest::newRow(name) << QString::fromLatin1(op) << json(body) << status << message;
        };
        const QJsonObject add = with(user(), {{"nodeCode", "ADD4"}, {"parentNodeCode", kMyBoard}, {"nodeName", "x"}});
        QTest::newRow("not JSON") << "user/tree" << QByteArray("{\"userId\":") << 400 << "request body is not JSON";
        QTest::newRow("repeated key") << "user/tree" << QByteArray(R"({"userId":{},"\u0075serId":{}})") << 400 << "request body repeats the key \"userId\"";
        row("unknown endpoint", "user/drop", user(), 404, "no endpoint POST /user/compositepanel/user/drop");
        row("user not text", "user/tree", {{"userId", 5}, {"prodId", kProduct}}, 400, "userId must be non-empty text");
        row("no product", "user/add", {{"nodeCode", "ADD4"}}, 400, "prodId is missing");
        row("code with sql", "user/add", with(add, {{"nodeCode", "ADD4'; DROP TABLE tree_node; --"}}), 400, "nodeCode may only hold");
        row("code with a newline", "user/add", with(add, {{"nodeCode", "ADD4\n"}}), 400, "nodeCode may only hold");
        row("negative position", "user/add", with(add, {{"sn", -1}}), 400, "sn must be a position");
        row("page without id", "user/add", with(add, {{"pad", true}}), 400, "padId is missing");
        row("existing code", "user/add", with(add, {{"nodeCode", kFavourites}}), 409, "node " + kFavourites + " already exists");
        row("page as parent", "user/add", with(add, {{"parentNodeCode", kUserPageNode}}), 400, "is a page, not a category");
        row("page with a node", "user/add", with(add, {{"pad", true}, {"padId", QString::fromLatin1(seed::OtherUserPad)}}), 409, "already has a node");
        row("into own child", "user/changePosition", with(user(), {{"nodeCode", kMyBoard}, {"parentNodeCode", kFavourites}}), 400, "cannot move into itself");
        row("content with a repeated key", "page/updateContent", {{"padId", kMacroPad}, {"content", "{\"a\":[1],\"b\":{\"c\":1,\"c\":[]}}"}}, 400, "content repeats the key \"c\"");
        row("content not JSON", "page/updateContent", {{"padId", kMacroPad}, {"content", "{\"broken\": "}}, 400, "content is not a JSON object");
        row("user page as product page", "page/updateContent", {{"padId", kUserPad}, {"content", "{}"}}, 404, "is not in any product tree");
        // A user's operations never reach another user's nodes, another product's tree or the product trees.
        row("other's parent", "user/add", with(add, {{"parentNodeCode", kOtherCategory}}), 400, "parent node " + kOtherCategory + " is not in the tree of user u1001");
        row("copy into product tree", "user/saveAs", with(user(), {{"parentNodeCode", kProductCategory}, {"padId", kDashboardPad}, {"nodeName", "x"}}), 400,
            "parent node " + kProductCategory + " is not in the tree of user u1001");
        row("into other's", "user/changePosition", with(user(), {{"nodeCode", kFavourites}, {"parentNodeCode", kOtherCategory}, {"sn", 0}}), 400,
            "parent node " + kOtherCategory + " is not in the tree of user u1001");
        row("other product", "user/delete", with(user(kUser, QString::fromLatin1(seed::SecondProduct)), {{"nodeCode", kMyBoard}}), 404, "is not in the tree of user u1001 in product P004");
        row("product delete", "node/delete", {{"nodeCode", kMyBoard}}, 404, "is not in the product trees");
        row("product edit", "node/edit", {{"nodeCode", kMyBoard}, {"nodeName", "偷改"}}, 404, "is not in the product trees");
    }

    void refusedRequests()
    {
        QFETCH(QString, op);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QJsonArray before = state();
        const HttpJsonResult r = postRaw(kBase + op, body);
        QCOMPARE(r.statusCode, status);
        QVERIFY2(!r.success && r.errorMsg.contains(message), qPrintable(r.errorMsg));
        QCOMPARE(state(), before);
    }

    // Several clients save different pages and add nodes at the same time.
    void concurrentSaves()
    {
        constexpr int Clients = 6, PagesEach = 5;
        const auto pad = [](int c, int p) { return QStringLiteral("CCPAD%1_%2").arg(c).arg(p); };
        for (int c = 0; c < Clients; ++c)
            for (int p = 0; p < PagesEach; ++p)
                QVERIFY(addUserNode(QStringLiteral("CC%1_%2").arg(c).arg(p), "ROOT", "并发", 0, pad(c, p)).success);

        std::vector<std::unique_ptr<HXDataApi::HXHttpService>> clients;
        int pending = 0, failed = 0;
        QEventLoop loop;
        const auto send = [&](const QString &op, const QJsonObject &body) {
            ++pending;
            clients.back()->postJsonAsyn(endpoint(kBase + op), json(body), [&](const HttpJsonResult &r) {
                failed += !r.success;
                if (--pending == 0)
                    loop.quit();
            });
        };
        for (int c = 0; c < Clients; ++c) {
            clients.push_back(std::make_unique<HXDataApi::HXHttpService>());
            for (int p = 0; p < PagesEach; ++p) {
                for (int round = 0; round < 3; ++round)
                    send("userPage/updateContent", {{"padId", pad(c, p)}, {"content", QString::fromUtf8(json({{"client", c}, {"page", p}, {"round", round}}))}});
                // Adds racing for positions under the same parent.
                send("user/add", with(user(), {{"nodeCode", QStringLiteral("RACE%1_%2").arg(c).arg(p)}, {"parentNodeCode", kFavourites}, {"nodeName", "r"}, {"sn", 0}}));
            }
        }
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(pending, 0);
        QCOMPARE(failed, 0);
        for (int c = 0; c < Clients; ++c)
            for (int p = 0; p < PagesEach; ++p)
                QVERIFY(pageContent(pad(c, p)).startsWith(QStringLiteral("{\"client\":%1,\"page\":%2,").arg(c).arg(p))); // of any round
        // Every racing add got its own position.
        const QJsonArray favourites = childrenOf(userTree(), kFavourites);
        QVERIFY(favourites.size() >= Clients * PagesEach);
        for (int i = 0; i < favourites.size(); ++i)
            QCOMPARE(favourites[i]["SN"].toInt(), i);
    }

    // Restarting (and asking to seed again) keeps everything and adds nothing.
    void dataSurvivesRestart()
    {
        QVERIFY(addUserNode("KEEP", "ROOT", "保留", 0, "KEEPPAD").success);
        const QString content = QStringLiteral("{\"kept\":true}");
        QVERIFY(saveUserPage("KEEPPAD", content).success);
        const QJsonArray tree = userTree();
        const int values = rows(query(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"))).size();

        m_fixture.stop();
        QString error;
        QVERIFY2(m_fixture.start(true, &error), qPrintable(error)); // seeding again must not add to a filled file
        QCOMPARE(userTree(), tree);
        QCOMPARE(pageContent("KEEPPAD"), content);
        QCOMPARE(rows(query(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"))).size(), values);
    }

    // A file of the first schema version is upgraded in place and keeps its pages;
    // a file from a newer server is refused.
    void schemaUpgrade()
    {
        Fixture old;
        QString error;
        {
            zhpserver::Storage storage(old.dbPath());
            QVERIFY2(storage.open(&error, 1), qPrintable(error));
            QSqlDatabase db = storage.connection();
            QVERIFY(!db.record(QStringLiteral("page")).contains(QStringLiteral("revision")));
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("INSERT INTO tree_node VALUES ('OLD', 2, 'P001', 'u1001', 'ROOT', '旧页面', 1, 'OLDPAD', 0)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO page (pad_id, content, updated_by, updated_at) VALUES ('OLDPAD', '{\"old\":1}', 'u1001', 0)")));
        }
        QVERIFY2(old.start(false, &error), qPrintable(error));
        QCOMPARE(pageContent("OLDPAD"), QStringLiteral("{\"old\":1}"));
        QVERIFY(saveUserPage("OLDPAD", "{}").success);
        QCOMPARE(call("page/get", {{"padId", "OLDPAD"}}).data["revision"].toInt(), 1);
        old.stop();
        useServer(m_fixture.server().baseUrl());
        {
            zhpserver::Storage storage(old.dbPath());
            QVERIFY(storage.open(&error));
            QSqlDatabase db = storage.connection();
            QCOMPARE(zhpserver::Storage::storedVersion(db), zhpserver::Storage::SchemaVersion);
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE zhp_meta SET meta_value = '99' WHERE meta_key = 'schema_version'")));
        }
        QVERIFY(!old.start(false, &error));
        QVERIFY2(error.contains(QStringLiteral("schema version 99, newer than this server")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPageEndpoints)
#include "tst_pageendpoints.moc"
