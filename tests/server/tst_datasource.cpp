// The datasource endpoint through the terminal's own datasource client,
// against a seeded server in the test process: the catalogues and filters
// the components query, and requests that must be refused.

#include "serverfixture.h"

#include "filterparser.h"
#include "seeddata.h"

#include "zhptest.h"

#include <QJsonArray>
#include <QSet>
#include <QtTest>

using namespace ServerTest;
namespace seed = zhpserver::seed;

namespace {

constexpr qint64 Rebar = 2001000000001;        // daily
constexpr qint64 RebarNational = 2001000000004; // weekly
constexpr qint64 Cpi = 2001000000029;          // monthly
constexpr qint64 Platts = 2001000000043;       // daily
const QString kValues = QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1");

QVariant list(std::initializer_list<qint64> values)
{
    QJsonArray a;
    for (qint64 id : values)
        a.append(double(id));
    return QVariant(a);
}

qint64 integer(const QJsonValue &v) { return qint64(v.toDouble()); }

// What a refused request could have touched.
QJsonArray state()
{
    return {rows(query(QStringLiteral("ZRN_GET_ALL_PRODUCT_1"))), rows(query(kValues, QStringLiteral("IDX_ID == :ID"), {{"ID", Rebar}})).size(),
            pageContent(QString::fromLatin1(seed::DashboardPad))};
}

} // namespace

class TestDatasource : public QObject
{
    Q_OBJECT

private:
    Fixture m_fixture;

private slots:
    void initTestCase() { m_fixture.setUp(); }

    void cleanupTestCase() { m_fixture.stop(); }

    // Every catalogue root a component starts from leads to indices of the
    // component's index object, as the index selector finds them.
    void catalogueRootsReachIndices_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("indexObject");
        const char *general = "ZRN_GENERAL_INDEX_CATEGORY_1";
        QTest::newRow("chart") << general << 3800 << "ZRN_GENERAL_INDEX_1";
        QTest::newRow("platts") << general << 3900 << "ZRN_PLATTS_INDEX_1";
        QTest::newRow("quote") << general << 3500 << "ZRN_ZRN_QUOTE_INDEX_1";
        QTest::newRow("map") << "ZRN_GENERAL_INDEX_MAP_CATEGORY_1" << 3800 << "ZRN_GENERAL_INDEX_MAP_1";
    }

    void catalogueRootsReachIndices()
    {
        QFETCH(QString, catalogue);
        QFETCH(int, root);
        QFETCH(QString, indexObject);
        const HttpJsonResult cat = query(catalogue, QString(), {}, {{QStringLiteral("CAT_CODE"), 1}});
        QVERIFY2(cat.success, qPrintable(cat.errorMsg));
        int found = 0;
        for (const QJsonValue &node : rows(cat)) {
            const QString path = node["CAT_CODE_ALL"].toString();
            if (node["HAV_IDX"].toInt() != 1 || !path.contains(QString::number(root) + QLatin1Char(',')))
                continue;
            const HttpJsonResult idx = query(indexObject, QStringLiteral("CAT_CODE == :PNODE"), {{"PNODE", node["CAT_CODE"].toVariant()}});
            QVERIFY2(idx.success, qPrintable(idx.errorMsg));
            for (const QJsonValue &i : rows(idx))
                QCOMPARE(i["CAT_CODE"].toDouble(), node["CAT_CODE"].toDouble());
            found += rows(idx).size();
        }
        QVERIFY2(found > 0, "no index under the root");
    }

    // The filters the components send, with the rows and indices they find.
    // Every answer is checked for what holds of all rows: dates at midnight
    // and ascending within an index, frequency names matching their codes,
    // changes matching the latest and previous values.
    void componentFilters_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QVariantMap>("params");
        QTest::addColumn<int>("count");
        QTest::addColumn<QSet<qint64>>("indices");
        QTest::addColumn<QDate>("latest");
        const char *indices = "ZRN_GENERAL_INDEX_1", *multi = "ZRN_INDEX_MULTI_PRICE_1";
        const char *inList = "IDX_ID in :IDX_IDS", *byFrequency = "IDX_IDS in :IDX_IDS && FREQUENCY_CODE == :FREQUENCY_CODE";
        const char *history = "IDX_ID == :IDX_ID && FREQUENCY_CODE == :FREQUENCY_CODE && VALUE_TYPE == 100803 && PUBLISH_DT >= [2015-01-01] && PUBLISH_DT <= [2024-12-31]";
        QTest::newRow("index list") << indices << inList << QVariantMap{{"IDX_IDS", list({Rebar, Cpi, 42})}} << 2 << QSet<qint64>{Rebar, Cpi} << QDate();
        QTest::newRow("empty list") << indices << inList << QVariantMap{{"IDX_IDS", QJsonArray()}} << 0 << QSet<qint64>() << QDate();
        // A daily index is offered at every frequency, a weekly one not daily;
        // the latest monthly value of a daily series is the one of the last day.
        QTest::newRow("multi price daily") << multi << byFrequency << QVariantMap{{"IDX_IDS", list({Rebar, RebarNational})}, {"FREQUENCY_CODE", 365}}
                                           << 1 << QSet<qint64>{Rebar} << seedEnd();
        QTest::newRow("multi price monthly") << multi << byFrequency << QVariantMap{{"IDX_IDS", list({Rebar, RebarNational})}, {"FREQUENCY_CODE", 12}}
                                             << 2 << QSet<qint64>{Rebar, RebarNational} << seedEnd();
        QTest::newRow("year, literal dates") << kValues << "IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= [2024-01-01] && PUBLISH_DT <= [2024-12-31]"
                                             << QVariantMap{{"IDX_IDS", list({Rebar, Cpi})}} << 366 + 12 << QSet<qint64>{Rebar, Cpi} << QDate(2024, 12, 31);
        QTest::newRow("start date parameter") << kValues << "IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= :PUBLISH_DT"
                                              << QVariantMap{{"IDX_IDS", list({Rebar})}, {"PUBLISH_DT", "[2024-12-01]"}} << 31 << QSet<qint64>{Rebar} << seedEnd();
        QTest::newRow("by frequency") << kValues << history << QVariantMap{{"IDX_ID", Cpi}, {"FREQUENCY_CODE", 12}} << 120 << QSet<qint64>{Cpi} << QDate();
        QTest::newRow("wrong frequency") << kValues << history << QVariantMap{{"IDX_ID", Cpi}, {"FREQUENCY_CODE", 365}} << 0 << QSet<qint64>() << QDate();
        QTest::newRow("platts values hold platts only") << "ZRN_PLATTS_INDEX_DATA_CACHE_1" << inList << QVariantMap{{"IDX_IDS", list({Rebar, Platts})}}
                                                        << 3653 << QSet<qint64>{Platts} << seedEnd();
        QTest::newRow("quote in bound text") << "ZRN_GET_PROPERTIES_BY_OBJNAME_1" << "OBJ_ENG_NAME == :N" << QVariantMap{{"N", "x' OR '1'='1"}}
                                             << 0 << QSet<qint64>() << QDate();
    }

    void componentFilters()
    {
        QFETCH(QString, object);
        QFETCH(QString, filter);
        QFETCH(QVariantMap, params);
        QFETCH(int, count);
        QFETCH(QSet<qint64>, indices);
        QFETCH(QDate, latest);
        QHash<int, QString> frequencyNames;
        for (const QJsonValue &f : rows(query(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"))))
            frequencyNames.insert(f["FREQUENCY_CODE"].toInt(), f["FREQUENCY_NAME"].toString());

        const HttpJsonResult r = query(object, filter, params);
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(rows(r).size(), count);
        QHash<qint64, qint64> last;
        QSet<qint64> ids;
        qint64 newest = 0;
        for (const QJsonValue &row : rows(r)) {
            ids.insert(integer(row["IDX_ID"]));
            if (row["FREQUENCY_NAME"].isString())
                QCOMPARE(row["FREQUENCY_NAME"].toString(), frequencyNames.value(row["FREQUENCY_CODE"].toInt()));
            QVERIFY(!row.toObject().contains("IDX_IDS")); // an alias filters but is not answered
            if (row["CHANGE_VAL"].isDouble())
                QVERIFY(qAbs(row["INDEX_VAL"].toDouble() - row["PREV_VAL"].toDouble() - row["CHANGE_VAL"].toDouble()) < 0.006);
            if (!row["PUBLISH_DT"].isDouble())
                continue;
            const qint64 dt = integer(row["PUBLISH_DT"]), id = integer(row["IDX_ID"]);
            QCOMPARE(dt % 86400000, qint64(0));
            QVERIFY(dt > last.value(id));
            last[id] = dt;
            newest = qMax(newest, dt);
        }
        QCOMPARE(ids, indices);
        if (latest.isValid())
            QCOMPARE(newest, ms(latest));
    }

    // Malformed and hostile requests: 400 with the reason, and no row changed.
    void refusedRequests_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QString &object, const QString &filter, const QJsonObject &params, const QString &message) {
            QTest::newRow(name) << json({{"objName", object}, {"filter", filter}, {"params", params}}) << message;
        };
        QTest::newRow("not JSON") << QByteArray("not json") << "request body is not JSON";
        QTest::newRow("array") << QByteArray("[1,2]") << "request body must be a JSON object";
        QTest::newRow("object not text") << QByteArray(R"({"objName":5})") << "objName must name a datasource object";
        QTest::newRow("filter number") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","filter":5})") << "filter must be text";
        QTest::newRow("params list") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","params":[1]})") << "params must be an object";
        QTest::newRow("order object") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","order":{}})") << "order must be a list";
        QTest::newRow("order entry text") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","order":["SN"]})") << "order entry 1 must be an object";
        QTest::newRow("order field sql") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","order":[{"field":"SN; DROP TABLE product"}]})") << "unknown order field SN; DROP";
        QTest::newRow("order direction") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","order":[{"field":"SN","direction":"desc"}]})")
                                         << "order direction of SN must be 1 (ascending) or -1 (descending)";
        QTest::newRow("repeated key") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","order":[],"order":[{"field":"SN"}]})")
                                      << "request body repeats the key \"order\"";
        QTest::newRow("ignoreTotal text") << QByteArray(R"({"objName":"ZRN_GET_ALL_PRODUCT_1","ignoreTotal":"yes"})") << "ignoreTotal must be true or false";
        row("unknown object", "page", "", {}, "unknown datasource object page");
        row("object with sql", "ZRN_GET_ALL_PRODUCT_1; DELETE FROM page", "", {}, "unknown datasource object ZRN_GET_ALL_PRODUCT_1; DELETE");
        row("statement in filter", kValues, "IDX_ID == 1; DELETE FROM idx_value", {}, "filter syntax error: unexpected character ';' at position 12");
        row("field as subquery", kValues, "(SELECT == 1)", {}, "filter error: unknown field SELECT of " + kValues + " at position 2");
        row("parameter with sql", kValues, "IDX_ID == :ID", {{"ID", "1 OR 1 == 1"}}, "parameter :ID must be an integer for IDX_ID, not text at position 11");
        row("missing parameter", kValues, "IDX_ID in :IDX_IDS", {}, "missing parameter :IDX_IDS at position 11");
        row("list expected", kValues, "IDX_ID in :IDX_IDS", {{"IDX_IDS", 5}}, "must be a list");
        row("fraction for integer", kValues, "IDX_ID == :ID", {{"ID", 1.5}}, "not a fractional number");
        row("list for ==", kValues, "IDX_ID == :ID", {{"ID", QJsonArray{1}}}, "is a list; compare lists with 'in'");
        row("text in a list", kValues, "IDX_ID in :ID", {{"ID", QJsonArray{1, "2"}}}, "element 2 of parameter :ID must be an integer");
        row("null parameter", kValues, "IDX_ID == :ID", {{"ID", QJsonValue::Null}}, "not null");
        row("beyond 2^53", kValues, "IDX_ID == :ID", {{"ID", 1e17}}, "must be an integer");
        row("bad date text", kValues, "PUBLISH_DT >= :D", {{"D", "2024-02-30"}}, "parameter :D must be a date");
        row("date literal on integer", kValues, "VALUE_TYPE == [2024-01-01]", {}, "VALUE_TYPE is an integer field, not a date");
        row("text on integer", kValues, "IDX_ID == 'x'", {}, "text cannot be compared");
        row("integer on text", "ZRN_GET_ALL_PRODUCT_1", "PRODUCT_CODE == 1", {}, "PRODUCT_CODE is a text field");
        // Lists add up: five of 5000 values are refused before the database.
        const QJsonArray many = QJsonArray::fromVariantList(QVector<QVariant>(5000, 1).toList());
        row("too many bound values", kValues, QStringLiteral("IDX_ID in :L && ").repeated(4) + "IDX_ID in :L", {{"L", many}}, "binds more than 20000 values");
        QJsonArray keys;
        for (int i = 0; i < 5000; ++i)
            keys.append(QJsonObject{{"field", i % 2 ? "SN" : "PRODUCT_CODE"}});
        QTest::newRow("thousands of order keys") << json({{"objName", "ZRN_GET_ALL_PRODUCT_1"}, {"order", keys}}) << "order holds 5000 entries, more than 100";
    }

    // Filters and orders at their limits are answered, not failed in the database.
    void queriesAtTheLimits()
    {
        QStringList anyOf;
        for (int i = 0; i < zhpserver::filter::MaxConditions; ++i)
            anyOf.append(QStringLiteral("IDX_ID == %1").arg(i == 0 ? Rebar : i));
        const QJsonArray list = QJsonArray::fromVariantList(QVector<QVariant>(5000, Rebar).toList());
        QCOMPARE(rows(query(kValues, QStringLiteral("IDX_ID in :L && PUBLISH_DT >= [2024-12-31]"), {{"L", list}})).size(), 1);
        const HttpJsonResult any = query(kValues, anyOf.join(QStringLiteral(" || ")));
        QVERIFY2(any.success, qPrintable(any.errorMsg));
        QVERIFY(!rows(any).isEmpty());
        QString nested = QStringLiteral("IDX_ID == %1").arg(Rebar);
        for (int i = 1; i <= zhpserver::filter::MaxNesting; ++i)
            nested = QStringLiteral("(") + nested + QStringLiteral(" || IDX_ID == %1)").arg(i);
        const HttpJsonResult deep = query(kValues, nested);
        QVERIFY2(deep.success, qPrintable(deep.errorMsg));
        QCOMPARE(rows(deep).size(), rows(any).size());
        QList<HXDataApi::OrderType> order;
        for (int i = 0; i < 100; ++i)
            order.append({i % 2 ? QStringLiteral("SN") : QStringLiteral("CONVERSION"), i % 3 ? 1 : -1});
        const HttpJsonResult ordered = query(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"), QString(), {}, order);
        QVERIFY2(ordered.success, qPrintable(ordered.errorMsg));
        QCOMPARE(rows(ordered).at(0)["CONVERSION"].toInt(), 365);
    }

    void refusedRequests()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const QJsonArray before = state();
        const HttpJsonResult r = postRaw(QStringLiteral("/datasource/query"), body);
        QCOMPARE(r.statusCode, 400);
        QVERIFY2(!r.success && r.errorMsg.startsWith(QStringLiteral("HTTP 400")) && r.errorMsg.contains(message), qPrintable(r.errorMsg));
        QCOMPARE(state(), before);
    }
};

QTEST_GUILESS_MAIN(TestDatasource)
#include "tst_datasource.moc"
