// The datasource endpoint through the terminal's own datasource client,
// against a seeded server in the test process: every object the components
// query, the filters they send, and requests that must be refused.

#include "serverfixture.h"

#include "seeddata.h"

#include "zhptest.h"

#include <QJsonArray>
#include <QSet>
#include <QtTest>

using namespace ServerTest;
using HXDataApi::OrderType;
namespace seed = zhpserver::seed;

namespace {

constexpr qint64 Rebar = 2001000000001;        // daily
constexpr qint64 RebarNational = 2001000000004; // weekly
constexpr qint64 Cpi = 2001000000029;          // monthly

QVariant list(std::initializer_list<qint64> values)
{
    return QVariant(ids(values));
}

QSet<qint64> idsOf(const QJsonArray &rows, const char *key = "IDX_ID")
{
    QSet<qint64> out;
    for (const QJsonValue &r : rows)
        out.insert(qint64(r.toObject().value(QLatin1String(key)).toDouble()));
    return out;
}

} // namespace

class TestDatasource : public QObject
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

    void everyObjectAnswers_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<int>("minimumRows");
        const QStringList category{"CAT_CODE", "P_CAT_CODE", "CAT_NAME", "CAT_CODE_ALL", "HAV_IDX", "SN"};
        const QStringList index{"IDX_ID", "INDEX_NAME", "UNIT_NAME", "FREQUENCY_CODE", "FREQUENCY_NAME", "INDEX_PARAMS", "CAT_CODE"};
        const QStringList values{"IDX_ID", "PUBLISH_DT", "INDEX_VAL"};
        QTest::newRow("catalogue") << "ZRN_GENERAL_INDEX_CATEGORY_1" << category << 20;
        QTest::newRow("map catalogue") << "ZRN_GENERAL_INDEX_MAP_CATEGORY_1" << category << 3;
        QTest::newRow("indices") << "ZRN_GENERAL_INDEX_1" << index << 40;
        QTest::newRow("multi-price indices") << "ZRN_GENERAL_INDEX_MULTIPRICE_1" << index << 10;
        QTest::newRow("vez indices") << "ZRN_VEZ_INDEX_MULTIPRICE_1" << index << 8;
        QTest::newRow("platts indices") << "ZRN_PLATTS_INDEX_1" << index << 4;
        QTest::newRow("quote indices") << "ZRN_ZRN_QUOTE_INDEX_1" << index << 4;
        QTest::newRow("map indices") << "ZRN_GENERAL_INDEX_MAP_1" << (index + QStringList{"AREA_NAME"}) << 68;
        QTest::newRow("values") << "ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1" << values << 70000;
        QTest::newRow("platts values") << "ZRN_PLATTS_INDEX_DATA_CACHE_1" << values << 4 * 3653;
        QTest::newRow("multi price") << "ZRN_INDEX_MULTI_PRICE_1"
                                     << QStringList{"INDEX_ID", "IDX_ID", "INDEX_NAME", "PUBLISH_DT", "INDEX_VAL", "CHANGE_VAL", "CHANGE_RATE", "FREQUENCY_CODE"}
                                     << 40;
        QTest::newRow("map prices") << "ZRN_INDEX_MAP_PRICE_1" << QStringList{"IDX_ID", "AREA_NAME", "PRICE", "PUBLISH_DT"} << 68;
        QTest::newRow("properties") << "ZRN_GET_PROPERTIES_BY_OBJNAME_1" << QStringList{"OBJ_ENG_NAME", "PROP_NAME", "PROP_CAPTION", "PROP_TYP", "PROP_FLAG"} << 9;
        QTest::newRow("frequencies") << "ZRN_GET_INDEX_FREQUENCY_LIST_1" << QStringList{"FREQUENCY_CODE", "FREQUENCY_NAME", "CONVERSION", "SN"} << 5;
        QTest::newRow("product categories") << "ZRN_GET_ALL_PRODUCT_CATEGORY_1" << QStringList{"CAT_CODE", "P_CAT_CODE", "CAT_NAME"} << 8;
        QTest::newRow("products") << "ZRN_GET_ALL_PRODUCT_1" << QStringList{"PRODUCT_CODE", "PRODUCT_NAME", "CAT_CODE", "SN"} << 10;
    }

    void everyObjectAnswers()
    {
        QFETCH(QString, object);
        QFETCH(QStringList, columns);
        QFETCH(int, minimumRows);
        const HttpJsonResult r = query(object);
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        const QJsonArray all = rows(r);
        QVERIFY2(all.size() >= minimumRows, qPrintable(QString::number(all.size())));
        for (const QString &c : columns)
            QVERIFY2(all.first().toObject().contains(c), qPrintable(c));
    }

    // Every catalogue root a component starts from leads to indices of the
    // component's index object, as the index selector finds them.
    void catalogueRootsReachIndices_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("indexObject");
        QTest::newRow("table") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 3800 << "ZRN_GENERAL_INDEX_MULTIPRICE_1";
        QTest::newRow("multi table") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 3800 << "ZRN_VEZ_INDEX_MULTIPRICE_1";
        QTest::newRow("chart") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 3800 << "ZRN_GENERAL_INDEX_1";
        QTest::newRow("global macro") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 3174 << "ZRN_GENERAL_INDEX_1";
        QTest::newRow("macro") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 400 << "ZRN_GENERAL_INDEX_1";
        QTest::newRow("industry") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 399 << "ZRN_GENERAL_INDEX_1";
        QTest::newRow("platts") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 3900 << "ZRN_PLATTS_INDEX_1";
        QTest::newRow("quote") << "ZRN_GENERAL_INDEX_CATEGORY_1" << 3500 << "ZRN_ZRN_QUOTE_INDEX_1";
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
        const QString prefix = QString::number(root) + QLatin1Char(',');
        for (const QJsonValue &v : rows(cat)) {
            const QJsonObject node = v.toObject();
            if (node.value(QLatin1String("HAV_IDX")).toInt() != 1 || !node.value(QLatin1String("CAT_CODE_ALL")).toString().contains(prefix))
                continue;
            QVERIFY(node.value(QLatin1String("CAT_CODE_ALL")).toString().endsWith(QString::number(qint64(node.value(QLatin1String("CAT_CODE")).toDouble()))));
            const HttpJsonResult idx = query(indexObject, QStringLiteral("%1 == :PNODE").arg(QStringLiteral("CAT_CODE")),
                                             {{QStringLiteral("PNODE"), node.value(QLatin1String("CAT_CODE")).toVariant()}});
            QVERIFY2(idx.success, qPrintable(idx.errorMsg));
            for (const QJsonValue &i : rows(idx))
                QCOMPARE(i.toObject().value(QLatin1String("CAT_CODE")).toDouble(), node.value(QLatin1String("CAT_CODE")).toDouble());
            found += rows(idx).size();
        }
        QVERIFY2(found > 0, "no index under the root");
    }

    void indexSelectionFilters()
    {
        // getIndexes and getIndex
        HttpJsonResult r = query(QStringLiteral("ZRN_GENERAL_INDEX_1"), QStringLiteral("IDX_ID in :IDX_IDS"), {{QStringLiteral("IDX_IDS"), list({Rebar, Cpi, 42})}});
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(idsOf(rows(r)), (QSet<qint64>{Rebar, Cpi}));
        r = query(QStringLiteral("ZRN_GENERAL_INDEX_1"), QStringLiteral("%1 == :IDX_ID").arg(QStringLiteral("IDX_ID")), {{QStringLiteral("IDX_ID"), qint64(Rebar)}});
        QCOMPARE(rows(r).size(), 1);
        const QJsonObject rebar = rows(r).first().toObject();
        // 64-bit IDs arrive exactly; the default frequency sits in INDEX_PARAMS.
        QCOMPARE(qint64(rebar.value(QLatin1String("IDX_ID")).toDouble()), Rebar);
        QCOMPARE(rebar.value(QLatin1String("FREQUENCY_NAME")).toString(), QStringLiteral("日"));
        const QJsonArray params = QJsonDocument::fromJson(rebar.value(QLatin1String("INDEX_PARAMS")).toString().toUtf8()).array();
        bool sawFrequency = false;
        for (const QJsonValue &p : params) {
            if (p.toObject().value(QLatin1String("name")).toString() == QLatin1String("FREQUENCY_CODE")) {
                QCOMPARE(p.toObject().value(QLatin1String("defaultValue")).toInt(), 365);
                sawFrequency = true;
            }
        }
        QVERIFY(sawFrequency);

        // An empty list is a valid question with no answer.
        r = query(QStringLiteral("ZRN_GENERAL_INDEX_1"), QStringLiteral("IDX_ID in :IDX_IDS"), {{QStringLiteral("IDX_IDS"), QVariant(QJsonArray())}});
        QVERIFY(r.success);
        QCOMPARE(rows(r).size(), 0);

        // Table headers of the multi-price object: dates typed, the change column flagged.
        r = query(QStringLiteral("ZRN_GET_PROPERTIES_BY_OBJNAME_1"), QStringLiteral("%1 == :OBJ_ENG_NAME").arg(QStringLiteral("OBJ_ENG_NAME")),
                  {{QStringLiteral("OBJ_ENG_NAME"), QStringLiteral("ZRN_INDEX_MULTI_PRICE_1")}});
        QVERIFY(r.success);
        QHash<QString, QJsonObject> props;
        for (const QJsonValue &v : rows(r))
            props.insert(v.toObject().value(QLatin1String("PROP_NAME")).toString(), v.toObject());
        QVERIFY(props.contains(QStringLiteral("INDEX_NAME")));
        QCOMPARE(props.value(QStringLiteral("PUBLISH_DT")).value(QLatin1String("PROP_TYP")).toString(), QStringLiteral("DateTime"));
        QCOMPARE(props.value(QStringLiteral("CHANGE_VAL")).value(QLatin1String("PROP_FLAG")).toInt(), 1);
        QVERIFY(!props.contains(QStringLiteral("INDEX_ID"))); // an internal column is not offered
    }

    void multiPriceByFrequency()
    {
        const QString filter = QStringLiteral("IDX_IDS in :IDX_IDS && FREQUENCY_CODE == :FREQUENCY_CODE");
        // A daily index is offered at every frequency, a weekly one not daily.
        HttpJsonResult r = query(QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"), filter,
                                 {{QStringLiteral("IDX_IDS"), list({Rebar, RebarNational})}, {QStringLiteral("FREQUENCY_CODE"), 365}});
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(idsOf(rows(r), "INDEX_ID"), QSet<qint64>{Rebar});
        r = query(QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"), filter, {{QStringLiteral("IDX_IDS"), list({Rebar, RebarNational})}, {QStringLiteral("FREQUENCY_CODE"), 12}});
        QCOMPARE(idsOf(rows(r), "INDEX_ID"), (QSet<qint64>{Rebar, RebarNational}));
        for (const QJsonValue &v : rows(r)) {
            const QJsonObject row = v.toObject();
            const double change = row.value(QLatin1String("INDEX_VAL")).toDouble() - row.value(QLatin1String("PREV_VAL")).toDouble();
            QVERIFY(qAbs(change - row.value(QLatin1String("CHANGE_VAL")).toDouble()) < 0.006);
            QCOMPARE(row.value(QLatin1String("FREQUENCY_NAME")).toString(), QStringLiteral("月"));
            // The latest monthly value of a daily series is the one of the last day.
            if (qint64(row.value(QLatin1String("INDEX_ID")).toDouble()) == Rebar)
                QCOMPARE(qint64(row.value(QLatin1String("PUBLISH_DT")).toDouble()), ms(seedEnd()));
        }
    }

    void chartValueFilters()
    {
        const QString valueObject = QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1");
        // The detail dialog's range query, dates as literals.
        HttpJsonResult r = query(valueObject,
                                 QStringLiteral("IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= %1 && PUBLISH_DT <= %2")
                                     .arg(QStringLiteral("[2024-01-01]"), QStringLiteral("[2024-12-31]")),
                                 {{QStringLiteral("IDX_IDS"), list({Rebar, Cpi})}});
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        int rebarRows = 0, cpiRows = 0;
        qint64 last = 0;
        for (const QJsonValue &v : rows(r)) {
            const QJsonObject row = v.toObject();
            const qint64 dt = qint64(row.value(QLatin1String("PUBLISH_DT")).toDouble());
            QVERIFY(dt >= ms(QDate(2024, 1, 1)) && dt <= ms(QDate(2024, 12, 31)));
            QCOMPARE(dt % 86400000, qint64(0));
            if (qint64(row.value(QLatin1String("IDX_ID")).toDouble()) == Rebar) {
                QVERIFY(dt > last); // ascending dates within an index
                last = dt;
                ++rebarRows;
            } else {
                ++cpiRows;
            }
        }
        QCOMPARE(rebarRows, 366);
        QCOMPARE(cpiRows, 12);

        // The chart's start date as a bound parameter in the bracket form.
        r = query(valueObject, QStringLiteral("IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= :PUBLISH_DT"),
                  {{QStringLiteral("IDX_IDS"), list({Rebar})}, {QStringLiteral("PUBLISH_DT"), QStringLiteral("[2024-12-01]")}});
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QCOMPARE(rows(r).size(), 31);

        // The seasonal query, with brackets written around the filled-in dates.
        r = query(valueObject,
                  QStringLiteral("IDX_ID in :IDX_IDS && FREQUENCY_CODE == :FREQUENCY_CODE && VALUE_TYPE == 100803 && PUBLISH_DT >= [%1] && PUBLISH_DT <= [%2]")
                      .arg(QStringLiteral("2020-01-01"), QStringLiteral("2024-12-31")),
                  {{QStringLiteral("IDX_IDS"), list({Cpi})}, {QStringLiteral("FREQUENCY_CODE"), 12}});
        QVERIFY(r.success);
        QCOMPARE(rows(r).size(), 60);

        // By frequency for one index; the wrong frequency finds nothing.
        const QString byFrequency = QStringLiteral("IDX_ID == :IDX_ID && FREQUENCY_CODE == :FREQUENCY_CODE && VALUE_TYPE == 100803 && PUBLISH_DT >= [2015-01-01] && PUBLISH_DT <= [2024-12-31]");
        r = query(valueObject, byFrequency, {{QStringLiteral("IDX_ID"), Cpi}, {QStringLiteral("FREQUENCY_CODE"), 12}});
        QCOMPARE(rows(r).size(), 120);
        r = query(valueObject, byFrequency, {{QStringLiteral("IDX_ID"), Cpi}, {QStringLiteral("FREQUENCY_CODE"), 365}});
        QCOMPARE(rows(r).size(), 0);

        // Platts values hold Platts indices only.
        r = query(QStringLiteral("ZRN_PLATTS_INDEX_DATA_CACHE_1"), QStringLiteral("IDX_ID in :IDX_IDS"), {{QStringLiteral("IDX_IDS"), list({Rebar, 2001000000043})}});
        QCOMPARE(idsOf(rows(r)), QSet<qint64>{2001000000043});
    }

    // Ten years of values for every index, at its own frequency.
    void seriesCoverTenYears()
    {
        const HttpJsonResult idx = query(QStringLiteral("ZRN_GENERAL_INDEX_1"));
        QVERIFY(idx.success);
        QHash<qint64, int> frequency;
        QSet<int> frequencies;
        for (const QJsonValue &v : rows(idx)) {
            frequency.insert(qint64(v.toObject().value(QLatin1String("IDX_ID")).toDouble()), v.toObject().value(QLatin1String("FREQUENCY_CODE")).toInt());
            frequencies.insert(v.toObject().value(QLatin1String("FREQUENCY_CODE")).toInt());
        }
        QCOMPARE(frequencies, (QSet<int>{365, 7, 12, 4, 1}));
        QHash<qint64, int> count;
        QHash<qint64, qint64> first;
        for (int code : frequencies) {
            const HttpJsonResult values = query(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"), QStringLiteral("VALUE_TYPE == 100803 && FREQUENCY_CODE == :F"),
                                                {{QStringLiteral("F"), code}});
            QVERIFY(values.success);
            for (const QJsonValue &v : rows(values)) {
                const QJsonObject row = v.toObject();
                const qint64 id = qint64(row.value(QLatin1String("IDX_ID")).toDouble());
                QCOMPARE(frequency.value(id), code);
                ++count[id];
                const qint64 dt = qint64(row.value(QLatin1String("PUBLISH_DT")).toDouble());
                if (!first.contains(id) || dt < first.value(id))
                    first[id] = dt;
            }
        }
        const QHash<int, int> expected{{365, 3653}, {7, 522}, {12, 120}, {4, 40}, {1, 10}};
        for (auto it = frequency.constBegin(); it != frequency.constEnd(); ++it) {
            QVERIFY2(count.value(it.key()) >= expected.value(it.value()) - 1, qPrintable(QString::number(it.key())));
            QVERIFY(first.value(it.key()) <= ms(seedEnd().addYears(-9)));
        }
    }

    void productsAndMap()
    {
        HttpJsonResult r = query(QStringLiteral("ZRN_GET_ALL_PRODUCT_CATEGORY_1"));
        QHash<QString, QString> parentOf;
        for (const QJsonValue &v : rows(r))
            parentOf.insert(v.toObject().value(QLatin1String("CAT_CODE")).toString(), v.toObject().value(QLatin1String("P_CAT_CODE")).isNull()
                                                                                            ? QString() : v.toObject().value(QLatin1String("P_CAT_CODE")).toString());
        int roots = 0, deeper = 0;
        for (auto it = parentOf.constBegin(); it != parentOf.constEnd(); ++it) {
            roots += it.value().isEmpty();
            deeper += !it.value().isEmpty() && !parentOf.value(it.value()).isEmpty();
        }
        QVERIFY(roots >= 2);
        QCOMPARE(deeper, 1);

        r = query(QStringLiteral("ZRN_GET_ALL_PRODUCT_1"), QString(), {}, {{QStringLiteral("SN"), 1}});
        int lastSn = -1;
        for (const QJsonValue &v : rows(r)) {
            QVERIFY(v.toObject().value(QLatin1String("SN")).toInt() > lastSn);
            lastSn = v.toObject().value(QLatin1String("SN")).toInt();
            QVERIFY(parentOf.contains(v.toObject().value(QLatin1String("CAT_CODE")).toString()));
        }

        // Every province of the map has a price.
        const HttpJsonResult indices = query(QStringLiteral("ZRN_GENERAL_INDEX_MAP_1"), QStringLiteral("CAT_CODE == 385001"));
        QJsonArray mapIds;
        for (const QJsonValue &v : rows(indices))
            mapIds.append(v.toObject().value(QLatin1String("IDX_ID")));
        r = query(QStringLiteral("ZRN_INDEX_MAP_PRICE_1"), QStringLiteral("IDX_IDS in :IDX_IDS"), {{QStringLiteral("IDX_IDS"), QVariant(mapIds)}});
        QVERIFY2(r.success, qPrintable(r.errorMsg));
        QSet<QString> areas;
        for (const QJsonValue &v : rows(r)) {
            areas.insert(v.toObject().value(QLatin1String("AREA_NAME")).toString());
            QVERIFY(v.toObject().value(QLatin1String("PRICE")).toDouble() > 1000);
        }
        QCOMPARE(areas.size(), 34);
        for (const char *p : {"北京", "广东", "内蒙古", "新疆", "台湾", "香港", "澳门"})
            QVERIFY(areas.contains(QString::fromUtf8(p)));
    }

    void order()
    {
        const HttpJsonResult r = query(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"), QString(), {}, {{QStringLiteral("CONVERSION"), -1}});
        QVERIFY(r.success);
        QList<int> conversions;
        for (const QJsonValue &v : rows(r))
            conversions.append(v.toObject().value(QLatin1String("CONVERSION")).toInt());
        QCOMPARE(conversions, (QList<int>{365, 52, 12, 4, 1}));
        const HttpJsonResult bySn = query(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"), QString(), {}, {{QStringLiteral("SN"), 1}});
        QCOMPARE(rows(bySn).first().toObject().value(QLatin1String("FREQUENCY_NAME")).toString(), QStringLiteral("日"));
    }

    void hostileRequests_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QVariantMap>("params");
        QTest::addColumn<QString>("message");
        const QString values = QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1");
        QTest::newRow("unknown object") << "page" << "" << QVariantMap() << "unknown datasource object page";
        QTest::newRow("object with sql") << "ZRN_GET_ALL_PRODUCT_1; DELETE FROM page" << "" << QVariantMap() << "unknown datasource object";
        QTest::newRow("field with sql") << values << "IDX_ID == 1; DELETE FROM idx_value" << QVariantMap() << "filter syntax error: unexpected character ';' at position 12";
        QTest::newRow("field as subquery") << values << "(SELECT == 1)" << QVariantMap() << "unknown field SELECT";
        QTest::newRow("unknown field") << values << "PASSWORD == 1" << QVariantMap() << "unknown field PASSWORD of " + values + " at position 1";
        QTest::newRow("parameter with sql") << values << "IDX_ID == :ID" << QVariantMap{{"ID", "1 OR 1 == 1"}} << "parameter :ID must be an integer for IDX_ID, not text";
        QTest::newRow("date with sql") << values << "PUBLISH_DT >= [2024-01-01) OR (1] " << QVariantMap() << "invalid date";
        QTest::newRow("date parameter with sql") << values << "PUBLISH_DT >= :D" << QVariantMap{{"D", "[2024-01-01] OR 1"}} << "must be a date";
        QTest::newRow("missing parameter") << values << "IDX_ID in :IDX_IDS" << QVariantMap() << "missing parameter :IDX_IDS";
        QTest::newRow("list expected") << values << "IDX_ID in :IDX_IDS" << QVariantMap{{"IDX_IDS", 5}} << "must be a list";
        QTest::newRow("syntax") << values << "IDX_ID == == 1" << QVariantMap() << "expected a value after IDX_ID == (an integer";
    }

    void hostileRequests()
    {
        QFETCH(QString, object);
        QFETCH(QString, filter);
        QFETCH(QVariantMap, params);
        QFETCH(QString, message);
        const HttpJsonResult r = query(object, filter, params);
        QVERIFY(!r.success);
        QCOMPARE(r.statusCode, 400);
        QVERIFY2(r.errorMsg.startsWith(QStringLiteral("HTTP 400")), qPrintable(r.errorMsg));
        QVERIFY2(r.errorMsg.contains(message), qPrintable(r.errorMsg));
    }

    // Malformed bodies straight to the endpoint, and proof that none of the
    // refused requests above changed a row.
    void malformedBodiesChangeNothing()
    {
        for (const QByteArray &body : {QByteArray("not json"), QByteArray("[1,2]"), QByteArray("{\"objName\":5}"),
                                       QByteArray("{\"objName\":\"ZRN_GET_ALL_PRODUCT_1\",\"order\":[{\"field\":\"SN\",\"direction\":\"desc\"}]}")}) {
            const HttpJsonResult r = postRaw(QStringLiteral("/datasource/query"), body);
            QCOMPARE(r.statusCode, 400);
        }
        // A quote inside a bound text is just text.
        HttpJsonResult r = query(QStringLiteral("ZRN_GET_PROPERTIES_BY_OBJNAME_1"), QStringLiteral("OBJ_ENG_NAME == :N"),
                                 {{QStringLiteral("N"), QStringLiteral("x' OR '1'='1")}});
        QVERIFY(r.success);
        QCOMPARE(rows(r).size(), 0);

        r = query(QStringLiteral("ZRN_GET_ALL_PRODUCT_1"));
        QCOMPARE(rows(r).size(), 12);
        r = query(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"), QStringLiteral("IDX_ID == :ID"), {{QStringLiteral("ID"), Rebar}});
        QCOMPARE(rows(r).size(), 3653);
        const HttpJsonResult page = post(QStringLiteral("/user/compositepanel/page/get"), {{QStringLiteral("padId"), QString::fromLatin1(seed::DashboardPad)}});
        QVERIFY(page.success);
    }
};

QTEST_GUILESS_MAIN(TestDatasource)
#include "tst_datasource.moc"
