// The page and category tree endpoints through the terminal's HTTP client:
// what each operation does to a tree, that users only reach their own nodes,
// that concurrent saves all land, and that everything survives a restart and
// a schema upgrade.

#include "serverfixture.h"

#include "seeddata.h"
#include "storage.h"

#include "zhptest.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

using namespace ServerTest;
namespace seed = zhpserver::seed;

namespace {

const QString kBase = QStringLiteral("/user/compositepanel/");

HttpJsonResult call(const QString &op, const QJsonObject &body)
{
    return post(kBase + op, body);
}

QJsonObject user(const QString &userId = QString::fromLatin1(seed::SampleUser), const QString &prodId = QString::fromLatin1(seed::SampleProduct))
{
    return {{QStringLiteral("userId"), userId}, {QStringLiteral("prodId"), prodId}};
}

QJsonObject with(QJsonObject o, const QJsonObject &more)
{
    for (auto it = more.begin(); it != more.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

QJsonArray userTree(const QString &userId = QString::fromLatin1(seed::SampleUser), const QString &prodId = QString::fromLatin1(seed::SampleProduct))
{
    const HttpJsonResult r = call(QStringLiteral("user/tree"), user(userId, prodId));
    return r.success ? r.data.array() : QJsonArray();
}

QJsonArray productTree(const QString &product)
{
    const HttpJsonResult r = call(QStringLiteral("node/tree"), {{QStringLiteral("productCode"), product}});
    return r.success ? r.data.array() : QJsonArray();
}

// The names of a level, in order.
QStringList names(const QJsonArray &nodes)
{
    QStringList out;
    for (const QJsonValue &v : nodes)
        out.append(v.toObject().value(QLatin1String("NODE_NAME")).toString());
    return out;
}

QJsonObject find(const QJsonArray &nodes, const QString &code)
{
    for (const QJsonValue &v : nodes) {
        const QJsonObject o = v.toObject();
        if (o.value(QLatin1String("NODE_CODE")).toString() == code)
            return o;
        const QJsonObject inner = find(o.value(QLatin1String("CHILDREN")).toArray(), code);
        if (!inner.isEmpty())
            return inner;
    }
    return QJsonObject();
}

QJsonArray childrenOf(const QJsonArray &tree, const QString &code)
{
    return code == QLatin1String("ROOT") ? tree : find(tree, code).value(QLatin1String("CHILDREN")).toArray();
}

QString pageContent(const QString &padId, int *status = nullptr)
{
    const HttpJsonResult r = call(QStringLiteral("page/get"), {{QStringLiteral("padId"), padId}});
    if (status)
        *status = r.statusCode;
    return r.data.object().value(QLatin1String("padCont")).toString();
}

HttpJsonResult addUserNode(const QString &code, const QString &parent, const QString &name, int sn, const QString &padId = QString())
{
    QJsonObject body = with(user(), {{QStringLiteral("nodeCode"), code}, {QStringLiteral("parentNodeCode"), parent},
                                     {QStringLiteral("nodeName"), name}, {QStringLiteral("pad"), !padId.isEmpty()}, {QStringLiteral("sn"), sn}});
    if (!padId.isEmpty())
        body.insert(QStringLiteral("padId"), padId);
    return call(QStringLiteral("user/add"), body);
}

const QString kMyBoard = QStringLiteral("5EEC0000000000000000000000000101");   // u1001 category
const QString kFavourites = QStringLiteral("5EEC0000000000000000000000000103"); // inside it
const QString kOtherCategory = QStringLiteral("5EEC0000000000000000000000000201"); // u1002
const QString kProductCategory = QStringLiteral("5EEC0000000000000000000000000001"); // P001

} // namespace

class TestPageEndpoints : public QObject
{
    Q_OBJECT

private:
    Fixture m_fixture;

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QString error;
        QVERIFY2(m_fixture.start(true, &error), qPrintable(error));
    }

    void cleanupTestCase() { m_fixture.stop(); }

    void seededPages()
    {
        int status = 0;
        const QJsonObject dashboard = QJsonDocument::fromJson(pageContent(QString::fromLatin1(seed::DashboardPad), &status).toUtf8()).object();
        QCOMPARE(status, 200);
        QCOMPARE(dashboard.value(QLatin1String("rootItemType")).toString(), QStringLiteral("HXCPControls::CPSplitter"));
        const QString text = QString::fromUtf8(QJsonDocument(dashboard).toJson());
        for (const char *url : {"\"CPTabWidget\"", "\"CPIndexDataComponent\"", "\"CPIndexChartComponent\"", "\"CPIndexMapChartComponent\"", "\"CPRichTextComponent\""})
            QVERIFY2(text.contains(QLatin1String(url)), url);

        // A page that exists only as a node answers with empty content.
        QCOMPARE(pageContent(QString::fromLatin1(seed::UserEmptyPad), &status), QString());
        QCOMPARE(status, 200);
        const HttpJsonResult missing = call(QStringLiteral("page/get"), {{QStringLiteral("padId"), QStringLiteral("0000")}});
        QCOMPARE(missing.statusCode, 404);
        QVERIFY(missing.errorMsg.contains(QStringLiteral("page 0000 not found")));

        const QJsonArray tree = productTree(QString::fromLatin1(seed::SampleProduct));
        QCOMPARE(names(tree), (QStringList{QStringLiteral("价格监测"), QStringLiteral("宏观与行业"), QStringLiteral("产品说明")}));
        const QJsonObject category = tree.first().toObject();
        QCOMPARE(category.value(QLatin1String("P_NODE_CODE")).toString(), QStringLiteral("ROOT"));
        QCOMPARE(category.value(QLatin1String("IS_CATEGORY")).toBool(), true);
        QVERIFY(!category.contains(QLatin1String("PAD_ID")));
        const QJsonObject page = category.value(QLatin1String("CHILDREN")).toArray().first().toObject();
        QCOMPARE(page.value(QLatin1String("IS_PAD")).toBool(), true);
        QCOMPARE(page.value(QLatin1String("PAD_ID")).toString(), QString::fromLatin1(seed::DashboardPad));
        QCOMPARE(page.value(QLatin1String("P_NODE_CODE")).toString(), kProductCategory);
        QCOMPARE(productTree(QStringLiteral("P999")), QJsonArray());
    }

    void contentRoundTripsByteForByte()
    {
        // Not compact, with escapes and characters outside the BMP: the stored text is the sent text.
        const QString content = QStringLiteral("{\n  \"height\": 600,\n  \"title\": \"价格 \\\"看板\\\" \\u00e9 😀\",\n  \"rootObj\": {}  }");
        HttpJsonResult r = call(QStringLiteral("userPage/updateContent"),
                                {{QStringLiteral("userId"), QString::fromLatin1(seed::SampleUser)}, {QStringLiteral("padId"), QString::fromLatin1(seed::UserEmptyPad)},
                                 {QStringLiteral("content"), content}});
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(pageContent(QString::fromLatin1(seed::UserEmptyPad)), content);

        r = call(QStringLiteral("page/updateContent"), {{QStringLiteral("userId"), QStringLiteral("editor")}, {QStringLiteral("padId"), QString::fromLatin1(seed::MacroPad)},
                                                        {QStringLiteral("content"), content}});
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(pageContent(QString::fromLatin1(seed::MacroPad)), content);

        // Refused updates keep what was there.
        r = call(QStringLiteral("page/updateContent"), {{QStringLiteral("userId"), QStringLiteral("editor")}, {QStringLiteral("padId"), QString::fromLatin1(seed::MacroPad)},
                                                        {QStringLiteral("content"), QStringLiteral("{\"broken\": ")}});
        QCOMPARE(r.statusCode, 400);
        QVERIFY(r.errorMsg.contains(QStringLiteral("content is not a JSON object")));
        r = call(QStringLiteral("page/updateContent"), {{QStringLiteral("userId"), QStringLiteral("editor")}, {QStringLiteral("padId"), QString::fromLatin1(seed::UserPad)},
                                                        {QStringLiteral("content"), QStringLiteral("{}")}});
        QCOMPARE(r.statusCode, 404); // a user page is not a product page
        QCOMPARE(pageContent(QString::fromLatin1(seed::MacroPad)), content);
    }

    void addInsertsAtPosition()
    {
        QVERIFY(addUserNode(QStringLiteral("ADD1"), kMyBoard, QStringLiteral("一"), 0).success);
        QVERIFY(addUserNode(QStringLiteral("ADD2"), kMyBoard, QStringLiteral("二"), 2, QStringLiteral("PADADD2")).success);
        QVERIFY(addUserNode(QStringLiteral("ADD3"), kMyBoard, QStringLiteral("三"), 99).success); // beyond the end: appended
        const QJsonArray level = childrenOf(userTree(), kMyBoard);
        QCOMPARE(names(level), (QStringList{QStringLiteral("一"), QStringLiteral("我的综合屏"), QStringLiteral("二"), QStringLiteral("收藏"), QStringLiteral("三")}));
        for (int i = 0; i < level.size(); ++i)
            QCOMPARE(level.at(i).toObject().value(QLatin1String("SN")).toInt(), i);
        QCOMPARE(pageContent(QStringLiteral("PADADD2")), QString()); // the new page exists, empty

        const auto refused = [](const HttpJsonResult &r, int status, const QString &message) {
            return r.statusCode == status && r.errorMsg.contains(message);
        };
        QVERIFY(refused(addUserNode(QStringLiteral("ADD1"), kMyBoard, QStringLiteral("x"), 0), 409, QStringLiteral("node ADD1 already exists")));
        QVERIFY(refused(addUserNode(QStringLiteral("ADD4"), QStringLiteral("5EEC0000000000000000000000000102"), QStringLiteral("x"), 0), 400,
                        QStringLiteral("is a page, not a category")));
        QVERIFY(refused(addUserNode(QStringLiteral("ADD4"), kOtherCategory, QStringLiteral("x"), 0), 400, QStringLiteral("is not in the tree of user u1001")));
        QVERIFY(refused(addUserNode(QStringLiteral("ADD4"), kMyBoard, QStringLiteral("x"), 0, QString::fromLatin1(seed::OtherUserPad)), 409,
                        QStringLiteral("already has a node")));
        QVERIFY(refused(call(QStringLiteral("user/add"), with(user(), {{QStringLiteral("nodeCode"), QStringLiteral("ADD4")},
                                                                      {QStringLiteral("parentNodeCode"), kMyBoard}, {QStringLiteral("pad"), true},
                                                                      {QStringLiteral("nodeName"), QStringLiteral("x")}})),
                        400, QStringLiteral("padId is missing")));
        QVERIFY(refused(call(QStringLiteral("user/add"), with(user(), {{QStringLiteral("nodeCode"), QStringLiteral("ADD4")},
                                                                      {QStringLiteral("parentNodeCode"), kMyBoard}, {QStringLiteral("nodeName"), QStringLiteral("x")},
                                                                      {QStringLiteral("sn"), -1}})),
                        400, QStringLiteral("sn must be a position")));
        QVERIFY(refused(call(QStringLiteral("user/add"), {{QStringLiteral("nodeCode"), QStringLiteral("ADD4")}}), 400, QStringLiteral("userId is missing")));
        QVERIFY(refused(addUserNode(QStringLiteral("ADD4'; DROP TABLE tree_node; --"), kMyBoard, QStringLiteral("x"), 0), 400,
                        QStringLiteral("nodeCode may only hold")));
        QCOMPARE(childrenOf(userTree(), kMyBoard).size(), 5);
    }

    void moveRenameDelete()
    {
        const auto move = [](const QString &code, const QString &parent, int sn) {
            return call(QStringLiteral("user/changePosition"),
                        with(user(), {{QStringLiteral("nodeCode"), code}, {QStringLiteral("parentNodeCode"), parent}, {QStringLiteral("sn"), sn}}));
        };
        QVERIFY(addUserNode(QStringLiteral("MV1"), QStringLiteral("ROOT"), QStringLiteral("甲"), 5).success);
        QVERIFY(addUserNode(QStringLiteral("MV2"), QStringLiteral("MV1"), QStringLiteral("乙"), 0).success);
        QVERIFY(addUserNode(QStringLiteral("MV3"), QStringLiteral("MV1"), QStringLiteral("丙"), 1, QStringLiteral("PADMV3")).success);
        QVERIFY(addUserNode(QStringLiteral("MV4"), QStringLiteral("MV1"), QStringLiteral("丁"), 2).success);

        QVERIFY(move(QStringLiteral("MV2"), QStringLiteral("MV1"), 2).success); // down within the parent
        QCOMPARE(names(childrenOf(userTree(), QStringLiteral("MV1"))), (QStringList{QStringLiteral("丙"), QStringLiteral("丁"), QStringLiteral("乙")}));
        QVERIFY(move(QStringLiteral("MV2"), QStringLiteral("MV1"), 0).success); // and up again
        QCOMPARE(names(childrenOf(userTree(), QStringLiteral("MV1"))), (QStringList{QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")}));
        QVERIFY(move(QStringLiteral("MV3"), QStringLiteral("MV2"), 0).success); // to another parent
        QJsonArray tree = userTree();
        QCOMPARE(names(childrenOf(tree, QStringLiteral("MV1"))), (QStringList{QStringLiteral("乙"), QStringLiteral("丁")}));
        QCOMPARE(find(tree, QStringLiteral("MV4")).value(QLatin1String("SN")).toInt(), 1);
        QCOMPARE(find(tree, QStringLiteral("MV3")).value(QLatin1String("P_NODE_CODE")).toString(), QStringLiteral("MV2"));

        HttpJsonResult r = move(QStringLiteral("MV1"), QStringLiteral("MV2"), 0); // into its own child
        QCOMPARE(r.statusCode, 400);
        QVERIFY(r.errorMsg.contains(QStringLiteral("cannot move into itself")));
        QCOMPARE(find(userTree(), QStringLiteral("MV1")).value(QLatin1String("P_NODE_CODE")).toString(), QStringLiteral("ROOT"));

        QVERIFY(call(QStringLiteral("user/edit"), with(user(), {{QStringLiteral("nodeCode"), QStringLiteral("MV4")}, {QStringLiteral("nodeName"), QStringLiteral("戊")}})).success);
        QCOMPARE(find(userTree(), QStringLiteral("MV4")).value(QLatin1String("NODE_NAME")).toString(), QStringLiteral("戊"));

        // Deleting removes the whole branch and the pages in it; siblings close up.
        QVERIFY(call(QStringLiteral("userPage/updateContent"), {{QStringLiteral("userId"), QString::fromLatin1(seed::SampleUser)},
                                                                {QStringLiteral("padId"), QStringLiteral("PADMV3")}, {QStringLiteral("content"), QStringLiteral("{}")}}).success);
        QVERIFY(call(QStringLiteral("user/delete"), with(user(), {{QStringLiteral("nodeCode"), QStringLiteral("MV2")}})).success);
        tree = userTree();
        QVERIFY(find(tree, QStringLiteral("MV3")).isEmpty());
        QCOMPARE(find(tree, QStringLiteral("MV4")).value(QLatin1String("SN")).toInt(), 0);
        int status = 0;
        pageContent(QStringLiteral("PADMV3"), &status);
        QCOMPARE(status, 404);
        r = call(QStringLiteral("user/delete"), with(user(), {{QStringLiteral("nodeCode"), QStringLiteral("MV2")}}));
        QCOMPARE(r.statusCode, 404);
    }

    void saveAsCopiesContent()
    {
        const QString source = pageContent(QString::fromLatin1(seed::DashboardPad));
        HttpJsonResult r = call(QStringLiteral("user/saveAs"), with(user(), {{QStringLiteral("parentNodeCode"), kFavourites},
                                                                            {QStringLiteral("padId"), QString::fromLatin1(seed::DashboardPad)},
                                                                            {QStringLiteral("nodeName"), QStringLiteral("我的看板副本")}}));
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        const QString newPad = r.data.object().value(QLatin1String("padId")).toString();
        const QString newNode = r.data.object().value(QLatin1String("nodeCode")).toString();
        const QRegularExpression hex32(QStringLiteral("^[0-9A-F]{32}$"));
        QVERIFY(hex32.match(newPad).hasMatch());
        QVERIFY(hex32.match(newNode).hasMatch());
        QCOMPARE(pageContent(newPad), source);
        const QJsonArray favourites = childrenOf(userTree(), kFavourites);
        QCOMPARE(favourites.last().toObject().value(QLatin1String("PAD_ID")).toString(), newPad);

        r = call(QStringLiteral("node/saveAs"), with(user(), {{QStringLiteral("parentNodeCode"), QStringLiteral("ROOT")},
                                                             {QStringLiteral("productCode"), QString::fromLatin1(seed::SecondProduct)},
                                                             {QStringLiteral("padId"), newPad}, {QStringLiteral("nodeName"), QStringLiteral("副本")}}));
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(names(productTree(QString::fromLatin1(seed::SecondProduct))).last(), QStringLiteral("副本"));

        r = call(QStringLiteral("user/saveAs"), with(user(), {{QStringLiteral("parentNodeCode"), kFavourites}, {QStringLiteral("padId"), QStringLiteral("NOPE")},
                                                             {QStringLiteral("nodeName"), QStringLiteral("x")}}));
        QCOMPARE(r.statusCode, 404);
        r = call(QStringLiteral("user/saveAs"), with(user(), {{QStringLiteral("parentNodeCode"), kProductCategory},
                                                             {QStringLiteral("padId"), QString::fromLatin1(seed::DashboardPad)}, {QStringLiteral("nodeName"), QStringLiteral("x")}}));
        QCOMPARE(r.statusCode, 400); // a product category is not in the user's tree
    }

    // One user's operations never reach another user's nodes, another
    // product's tree, or the product trees.
    void usersAreIsolated()
    {
        const QJsonObject other = user(QString::fromLatin1(seed::OtherUser));
        const QJsonArray before = userTree();
        QVERIFY(find(userTree(QString::fromLatin1(seed::OtherUser)), kMyBoard).isEmpty());
        QCOMPARE(userTree(QString::fromLatin1(seed::SampleUser), QString::fromLatin1(seed::SecondProduct)), QJsonArray());

        const QList<QPair<QString, QJsonObject>> attempts{
            {QStringLiteral("user/edit"), with(other, {{QStringLiteral("nodeCode"), kMyBoard}, {QStringLiteral("nodeName"), QStringLiteral("偷改")}})},
            {QStringLiteral("user/delete"), with(other, {{QStringLiteral("nodeCode"), kMyBoard}})},
            {QStringLiteral("user/changePosition"), with(other, {{QStringLiteral("nodeCode"), kMyBoard}, {QStringLiteral("parentNodeCode"), QStringLiteral("ROOT")}, {QStringLiteral("sn"), 0}})},
            {QStringLiteral("user/changePosition"), with(other, {{QStringLiteral("nodeCode"), kOtherCategory}, {QStringLiteral("parentNodeCode"), kMyBoard}, {QStringLiteral("sn"), 0}})},
            {QStringLiteral("user/delete"), with(user(QString::fromLatin1(seed::SampleUser), QString::fromLatin1(seed::SecondProduct)), {{QStringLiteral("nodeCode"), kMyBoard}})},
            {QStringLiteral("node/delete"), {{QStringLiteral("nodeCode"), kMyBoard}}},
            {QStringLiteral("node/edit"), {{QStringLiteral("nodeCode"), kMyBoard}, {QStringLiteral("nodeName"), QStringLiteral("偷改")}}},
            {QStringLiteral("userPage/updateContent"), {{QStringLiteral("userId"), QString::fromLatin1(seed::OtherUser)}, {QStringLiteral("padId"), QString::fromLatin1(seed::UserPad)}, {QStringLiteral("content"), QStringLiteral("{}")}}},
            {QStringLiteral("user/saveAs"), with(other, {{QStringLiteral("parentNodeCode"), kMyBoard}, {QStringLiteral("padId"), QString::fromLatin1(seed::UserPad)}, {QStringLiteral("nodeName"), QStringLiteral("x")}})},
        };
        const QString content = pageContent(QString::fromLatin1(seed::UserPad));
        for (const auto &a : attempts) {
            const HttpJsonResult r = call(a.first, a.second);
            QVERIFY2(!r.success && (r.statusCode == 404 || r.statusCode == 400), qPrintable(a.first + QStringLiteral(": ") + r.errorMsg));
        }
        QCOMPARE(userTree(), before);
        QCOMPARE(pageContent(QString::fromLatin1(seed::UserPad)), content);
        // Product operations on product nodes still work by code alone.
        QVERIFY(call(QStringLiteral("node/edit"), {{QStringLiteral("nodeCode"), kProductCategory}, {QStringLiteral("nodeName"), QStringLiteral("价格监测")}}).success);
    }

    // Several clients save different pages and add nodes at the same time.
    void concurrentSaves()
    {
        constexpr int Clients = 6, PagesEach = 5;
        for (int c = 0; c < Clients; ++c)
            for (int p = 0; p < PagesEach; ++p)
                QVERIFY(addUserNode(QStringLiteral("CC%1_%2").arg(c).arg(p), QStringLiteral("ROOT"), QStringLiteral("并发"), 0,
                                    QStringLiteral("CCPAD%1_%2").arg(c).arg(p)).success);

        std::vector<std::unique_ptr<HXDataApi::HXHttpService>> clients;
        int pending = 0, failed = 0;
        QEventLoop loop;
        const auto done = [&](const HttpJsonResult &r) {
            failed += !r.success;
            if (--pending == 0)
                loop.quit();
        };
        for (int c = 0; c < Clients; ++c) {
            clients.push_back(std::make_unique<HXDataApi::HXHttpService>());
            for (int p = 0; p < PagesEach; ++p) {
                for (int round = 0; round < 3; ++round) {
                    const QJsonObject body{{QStringLiteral("userId"), QString::fromLatin1(seed::SampleUser)},
                                           {QStringLiteral("padId"), QStringLiteral("CCPAD%1_%2").arg(c).arg(p)},
                                           {QStringLiteral("content"), QStringLiteral("{\"client\":%1,\"page\":%2,\"round\":%3}").arg(c).arg(p).arg(round)}};
                    ++pending;
                    clients.back()->postJsonAsyn(endpoint(kBase + QStringLiteral("userPage/updateContent")), QJsonDocument(body).toJson(QJsonDocument::Compact), done);
                }
                // Adds racing for positions under the same parent.
                const QJsonObject add = with(user(), {{QStringLiteral("nodeCode"), QStringLiteral("RACE%1_%2").arg(c).arg(p)},
                                                      {QStringLiteral("parentNodeCode"), kFavourites}, {QStringLiteral("nodeName"), QStringLiteral("r")}, {QStringLiteral("sn"), 0}});
                ++pending;
                clients.back()->postJsonAsyn(endpoint(kBase + QStringLiteral("user/add")), QJsonDocument(add).toJson(QJsonDocument::Compact), done);
            }
        }
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(pending, 0);
        QCOMPARE(failed, 0);
        for (int c = 0; c < Clients; ++c) {
            for (int p = 0; p < PagesEach; ++p) {
                const QJsonObject page = QJsonDocument::fromJson(pageContent(QStringLiteral("CCPAD%1_%2").arg(c).arg(p)).toUtf8()).object();
                QCOMPARE(page.value(QLatin1String("client")).toInt(), c);
                QCOMPARE(page.value(QLatin1String("page")).toInt(), p);
            }
        }
        // Every racing add got its own position.
        const QJsonArray favourites = childrenOf(userTree(), kFavourites);
        QVERIFY(favourites.size() >= Clients * PagesEach);
        for (int i = 0; i < favourites.size(); ++i)
            QCOMPARE(favourites.at(i).toObject().value(QLatin1String("SN")).toInt(), i);
    }

    void unknownEndpointsAndBodies()
    {
        HttpJsonResult r = post(QStringLiteral("/user/compositepanel/user/drop"), user());
        QCOMPARE(r.statusCode, 404);
        QVERIFY(r.errorMsg.contains(QStringLiteral("no endpoint POST /user/compositepanel/user/drop")));
        r = postRaw(kBase + QStringLiteral("user/tree"), QByteArray("{\"userId\":"));
        QCOMPARE(r.statusCode, 400);
        QVERIFY(r.errorMsg.contains(QStringLiteral("request body is not JSON")));
        r = call(QStringLiteral("user/tree"), {{QStringLiteral("userId"), 5}, {QStringLiteral("prodId"), QStringLiteral("P001")}});
        QCOMPARE(r.statusCode, 400);
        QVERIFY(r.errorMsg.contains(QStringLiteral("userId must be non-empty text")));
    }

    // Must run last: it restarts the server.
    void dataSurvivesRestart()
    {
        QVERIFY(addUserNode(QStringLiteral("KEEP"), QStringLiteral("ROOT"), QStringLiteral("保留"), 0, QStringLiteral("KEEPPAD")).success);
        const QString content = QStringLiteral("{\"kept\":true}");
        QVERIFY(call(QStringLiteral("userPage/updateContent"), {{QStringLiteral("userId"), QString::fromLatin1(seed::SampleUser)},
                                                                {QStringLiteral("padId"), QStringLiteral("KEEPPAD")}, {QStringLiteral("content"), content}}).success);
        const QJsonArray tree = userTree();
        const QJsonArray products = productTree(QString::fromLatin1(seed::SampleProduct));
        const int values = rows(query(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"))).size();

        m_fixture.stop();
        QString error;
        QVERIFY2(m_fixture.start(true, &error), qPrintable(error)); // seeding again must not add to a filled file
        QCOMPARE(userTree(), tree);
        QCOMPARE(productTree(QString::fromLatin1(seed::SampleProduct)), products);
        QCOMPARE(pageContent(QStringLiteral("KEEPPAD")), content);
        QCOMPARE(rows(query(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"))).size(), values);
    }

    // A file of the first schema version is upgraded in place and keeps its pages;
    // a file from a newer server is refused.
    void schemaUpgrade()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.sqlite"));
        {
            zhpserver::Storage old(path);
            QString error;
            QVERIFY2(old.open(&error, 1), qPrintable(error));
            QSqlDatabase db = old.connection();
            QCOMPARE(zhpserver::Storage::storedVersion(db), 1);
            QVERIFY(!db.record(QStringLiteral("page")).contains(QStringLiteral("revision")));
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("INSERT INTO tree_node VALUES ('OLD', 2, 'P001', 'u1001', 'ROOT', '旧页面', 1, 'OLDPAD', 0)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO page (pad_id, content, updated_by, updated_at) VALUES ('OLDPAD', '{\"old\":1}', 'u1001', 0)")));
        }
        zhpserver::Server server;
        zhpserver::Options o;
        o.databasePath = path;
        o.logRequests = false;
        QString error;
        QVERIFY2(server.start(o, &error), qPrintable(error));
        WKServiceConfig::instance()->setHttpUrl(QStringLiteral("servercfg.ini:Global"), server.baseUrl());
        const HttpJsonResult r = call(QStringLiteral("page/get"), {{QStringLiteral("padId"), QStringLiteral("OLDPAD")}});
        QCOMPARE(r.data.object().value(QLatin1String("padCont")).toString(), QStringLiteral("{\"old\":1}"));
        QVERIFY(call(QStringLiteral("userPage/updateContent"), {{QStringLiteral("userId"), QStringLiteral("u1001")}, {QStringLiteral("padId"), QStringLiteral("OLDPAD")},
                                                                {QStringLiteral("content"), QStringLiteral("{}")}}).success);
        QCOMPARE(call(QStringLiteral("page/get"), {{QStringLiteral("padId"), QStringLiteral("OLDPAD")}}).data.object().value(QLatin1String("revision")).toInt(), 1);
        server.stop();
        WKServiceConfig::instance()->setHttpUrl(QStringLiteral("servercfg.ini:Global"), m_fixture.server().baseUrl());

        {
            zhpserver::Storage storage(path);
            QVERIFY(storage.open(&error));
            QSqlDatabase db = storage.connection();
            QCOMPARE(zhpserver::Storage::storedVersion(db), zhpserver::Storage::SchemaVersion);
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("UPDATE zhp_meta SET meta_value = '99' WHERE meta_key = 'schema_version'")));
        }
        QVERIFY(!server.start(o, &error));
        QVERIFY2(error.contains(QStringLiteral("schema version 99, newer than this server")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestPageEndpoints)
#include "tst_pageendpoints.moc"
