// The index data service against a seeded server: the requests it sends, the
// frequency cache, the product tree, and the workbook it writes.
#include "serverfixture.h"

#include "hxdataapi/hxdatasourceservice.h"
#include "indexdata/cpindexdataservice.h"
#include "indexdata/cpproductservice.h"

#include <QtWidgets>

#include <limits>

using namespace HXCPControls;
using HXDataApi::HttpJsonResult;

Q_DECLARE_METATYPE(QJsonObject)

namespace {

HttpJsonResult waitFor(const std::function<void(CPIndexDataService::Callback)> &call)
{
    HttpJsonResult result;
    bool done = false;
    call([&](const HttpJsonResult &r) {
        result = r;
        done = true;
    });
    [&] { QTRY_VERIFY_WITH_TIMEOUT(done, 10000); }();
    return result;
}

QJsonObject params(const QJsonObject &request)
{
    return request.value(QStringLiteral("params")).toObject();
}

QJsonArray order(const QJsonObject &request)
{
    return request.value(QStringLiteral("order")).toArray();
}

} // namespace

class TstIndexDataService : public QObject
{
    Q_OBJECT

    DatasourceFixture m_ds;

private slots:
    void initTestCase() { m_ds.setUp(); }

    void init() { m_ds.clear(); }

    // A failed load answers once, empty, and leaves the process-wide cache
    // empty; the next call asks again, and from then on every service answers
    // from the cache, inside the call, without a request.
    void frequencyListIsLoadedOnceForEveryService()
    {
        const QString frequencies = QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1");
        CPIndexDataService service;
        QSignalSpy spy(&service, &CPIndexDataService::getFrequencyFinished);
        m_ds.failObject(frequencies);
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^频率加载失败")));
        service.getFrequencyList();
        QTRY_COMPARE(spy.count(), 1);
        QVERIFY(spy.at(0).at(0).value<QList<FrequencyInfo>>().isEmpty());
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1);
        QVERIFY(CPIndexDataService::cachedFrequencies().isEmpty());

        m_ds.failObject(frequencies, false);
        service.getFrequencyList();
        QTRY_COMPARE(spy.count(), 2);
        const QList<FrequencyInfo> cached = CPIndexDataService::cachedFrequencies();
        QVERIFY(!cached.isEmpty());
        m_ds.clear();

        CPIndexDataService other;
        QSignalSpy answered(&other, &CPIndexDataService::getFrequencyFinished);
        other.getFrequencyList();
        QCOMPARE(answered.count(), 1); // inside the call
        QCOMPARE(answered.at(0).at(0).value<QList<FrequencyInfo>>(), cached);
        QTest::qWait(50);
        QVERIFY(m_ds.requests().isEmpty());
    }

    // The widgets' own tests show the other queries; not the catalogue's
    // order, one index by its ID, or an empty list of IDs.
    void catalogueIndexAndEmptyList()
    {
        CPIndexDataService service;
        const HttpJsonResult catalog = waitFor([&](auto cb) { service.getCatalog(QStringLiteral("ZRN_GENERAL_INDEX_CATEGORY_1"), cb); });
        QVERIFY2(catalog.success, qPrintable(catalog.errorMsg));
        QCOMPARE(order(m_ds.requests().last()), QJsonArray({QJsonObject{{"field", "CAT_CODE"}, {"direction", 1}}}));
        QCOMPARE(m_ds.requests().last().value("ignoreTotal").toBool(), true);

        const HttpJsonResult one = waitFor([&](auto cb) {
            CPIndexDataService::getIndex(service.datasource(), QStringLiteral("ZRN_GENERAL_INDEX_1"), QStringLiteral("IDX_ID"),
                                         kIndexBase + 21, cb);
        });
        QCOMPARE(one.data.array().size(), 1);
        QCOMPARE(one.data.array().at(0).toObject().value("INDEX_NAME").toString(), QStringLiteral("美元指数"));

        // An empty list still goes out, as an empty array, and selects nothing.
        const HttpJsonResult none = waitFor([&](auto cb) {
            service.getIndexesByFrequency(QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"), {}, 365, cb);
        });
        QVERIFY(none.success);
        QVERIFY(none.data.array().isEmpty());
        QCOMPARE(params(m_ds.requests().last()).value("IDX_IDS"), QJsonValue(QJsonArray()));
    }

    void valuesBetweenDates()
    {
        HXDataApi::HXDatasourceService ds;
        const QDate end = QDate::currentDate();
        const QDate start = end.addDays(-20);
        HttpJsonResult values;
        CPIndexDataService::getIndexValues(&ds, QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"),
                                           {kIndexBase + 1, kIndexBase + 2}, start, end, values);
        QVERIFY2(values.success, qPrintable(values.errorMsg));
        QVERIFY(values.data.array().size() >= 30); // two daily series over three weeks

        HttpJsonResult one;
        CPIndexDataService::getIndexValuesByFrequency(&ds, QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"),
                                                      kIndexBase + 8, 7, end.addDays(-70), end, one);
        QVERIFY2(one.success, qPrintable(one.errorMsg));
        QVERIFY(one.data.array().size() >= 9 && one.data.array().size() <= 11); // ten weeks of a weekly series
        const QJsonObject sent = m_ds.requests().last();
        QCOMPARE(qint64(params(sent).value("IDX_ID").toDouble()), kIndexBase + 8);
        QCOMPARE(params(sent).value("FREQUENCY_CODE").toInt(), 7);
    }

    void productTreeShaping()
    {
        auto cat = [](const char *code, const char *parent) {
            QJsonObject o{{"CAT_CODE", code}, {"CAT_NAME", QString::fromLatin1(code).toLower()}};
            o.insert("P_CAT_CODE", parent ? QJsonValue(parent) : QJsonValue(QJsonValue::Null));
            return o;
        };
        auto product = [](const char *code, const char *category) {
            return QJsonObject{{"PRODUCT_CODE", code}, {"CAT_CODE", category}};
        };
        const QJsonArray categories{cat("A", nullptr), cat("A1", "A"), cat("A11", "A1"), cat("B", nullptr), cat("A2", "A")};
        const QJsonArray products{product("p1", "A1"), product("p2", "B"), product("p3", "A1"), product("p4", "A11"),
                                  product("p2", "A2")};

        QJsonObject matched;
        QJsonArray tree;
        for (const QVariantMap &root : CPProductService::buildTree(categories, products, QStringLiteral("p2"), &matched))
            tree.append(QJsonObject::fromVariantMap(root));
        QCOMPARE(matched, product("p2", "B")); // the first p2
        // Two levels in catalogue order: A11 sits under a sub-category and is dropped.
        QCOMPARE(tree, QJsonDocument::fromJson(R"([
            {"CAT_CODE": "A", "CAT_NAME": "a", "P_CAT_CODE": null, "productions": [], "children": [
                {"CAT_CODE": "A1", "CAT_NAME": "a1", "P_CAT_CODE": "A",
                 "productions": [{"PRODUCT_CODE": "p1", "CAT_CODE": "A1"}, {"PRODUCT_CODE": "p3", "CAT_CODE": "A1"}]},
                {"CAT_CODE": "A2", "CAT_NAME": "a2", "P_CAT_CODE": "A", "productions": [{"PRODUCT_CODE": "p2", "CAT_CODE": "A2"}]}]},
            {"CAT_CODE": "B", "CAT_NAME": "b", "P_CAT_CODE": null, "children": [],
             "productions": [{"PRODUCT_CODE": "p2", "CAT_CODE": "B"}]}])").array());

        CPProductService::buildTree(categories, products, QStringLiteral("nope"), &matched);
        QVERIFY(matched.isEmpty());
    }

    void productTreeFromServer()
    {
        CPProductService service;
        bool called = false;
        QJsonObject product;
        QList<QVariantMap> roots;
        service.getProductTree(QStringLiteral("P001"), [&](const QJsonObject &p, const QList<QVariantMap> &r) {
            called = true;
            product = p;
            roots = r;
        });
        QVERIFY(called);
        QCOMPARE(product.value("PRODUCT_NAME").toString(), QStringLiteral("螺纹钢"));
        QVERIFY(!roots.isEmpty() && !roots.first().value("CAT_NAME").toString().isEmpty()); // the shape: the test above
        QCOMPARE(m_ds.requestsTo("ZRN_GET_ALL_PRODUCT_1").last().value("order").toArray().at(0).toObject().value("field").toString(),
                 QStringLiteral("SN"));

        // A failing catalogue: logged, and the callback is not called.
        m_ds.failObject(QStringLiteral("ZRN_GET_ALL_PRODUCT_CATEGORY_1"));
        ZhpTest::expectMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("database unavailable")));
        called = false;
        service.getProductTree(QStringLiteral("P001"), [&](const QJsonObject &, const QList<QVariantMap> &) { called = true; });
        QVERIFY(!called);
        m_ds.failObject(QStringLiteral("ZRN_GET_ALL_PRODUCT_CATEGORY_1"), false);
    }

    void workbookReadsBack()
    {
        QStandardItemModel model(0, 5);
        const QStringList headers{"指标名称", "最新值", "数量", "备注", "日期"};
        for (int c = 0; c < headers.size(); ++c)
            model.setHeaderData(c, Qt::Horizontal, headers.at(c));
        auto row = [&model](const QVariantList &values) {
            QList<QStandardItem *> items;
            for (const QVariant &v : values) {
                auto *item = new QStandardItem;
                item->setData(v, Qt::UserRole + 1);
                items << item;
            }
            model.appendRow(items);
        };
        const double lowest = std::numeric_limits<double>::lowest();
        row({QStringLiteral("螺纹钢\r\n上海\\u"), 4012.5, qlonglong(9007199254740), QStringLiteral("a\r\rb"), QVariant()});
        row({QStringLiteral("铁矿石"), lowest, 42, QStringLiteral("文本"), QStringLiteral("2024-01-05")});

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("导出.xlsx"));
        QVERIFY(CPIndexDataService::exportToExcel(&model, path));

        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), {QFINDTESTDATA("readworkbook.py"), path});
        QVERIFY(python.waitForFinished(30000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QJsonObject book = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
        QCOMPARE(book.value("sheets").toArray(), QJsonArray({"新建工作簿_1"}));
        QHash<QString, QJsonObject> cells;
        for (const QJsonValue &c : book.value("cells").toArray())
            cells.insert(c.toObject().value("ref").toString(), c.toObject());

        // What the cells of row `r` hold under `key`, columns A to E.
        auto line = [&cells](int r, const char *key) {
            QStringList values;
            for (QChar column : QStringLiteral("ABCDE"))
                values << cells.value(column + QString::number(r)).value(key).toVariant().toString();
            return values.join('|');
        };
        QCOMPARE(line(1, "value"), headers.join('|'));
        QCOMPARE(line(1, "bold") + line(1, "horizontal") + line(1, "vertical"),
                 "true|true|true|true|true" "center|center|center|center|center" "distributed|distributed|distributed|distributed|distributed");
        // Line breaks go; text after a number keeps that number's format; the
        // lowest double and a missing value are the missing-value mark, as text.
        QCOMPARE(line(2, "value"), QStringLiteral("螺纹钢上海|4012.5|9007199254740|ab|-"));
        QCOMPARE(line(2, "format").section('|', 1, 3), QStringLiteral("#,##0.00######;-#,##0.00######|#,##0;-#,##0|#,##0;-#,##0"));
        QCOMPARE(line(3, "value"), QStringLiteral("铁矿石|-|42|文本|2024-01-05"));
        QCOMPARE(line(3, "type").section('|', 1, 2), QStringLiteral("str|int"));
        QCOMPARE(cells.value("A2").value("vertical").toString() + cells.value("A3").value("horizontal").toString(), QStringLiteral("centercenter"));
    }

    void workbookRefusedWhenItCannotBeWritten()
    {
        QStandardItemModel model(1, 1);
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot")));
        QVERIFY(!CPIndexDataService::exportToExcel(&model, QStringLiteral("/nonexistent-dir/x/y.xlsx")));
    }
};

QTEST_MAIN(TstIndexDataService)
#include "tst_indexdataservice.moc"
