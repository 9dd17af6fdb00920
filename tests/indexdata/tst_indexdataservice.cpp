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

    // Runs first: the process-wide cache is still empty.
    void failedFrequencyLoadEmitsOnceEmptyAndKeepsAsking()
    {
        CPIndexDataService service;
        QSignalSpy spy(&service, &CPIndexDataService::getFrequencyFinished);
        m_ds.failObject(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"));
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^频率加载失败")));
        service.getFrequencyList();
        QTRY_COMPARE(spy.count(), 1);
        QVERIFY(spy.at(0).at(0).value<QList<FrequencyInfo>>().isEmpty());
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1);
        QVERIFY(CPIndexDataService::cachedFrequencies().isEmpty());

        // The next call asks again and fills the cache.
        m_ds.failObject(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"), false);
        service.getFrequencyList();
        QTRY_COMPARE(spy.count(), 2);
        QCOMPARE(m_ds.requestsTo(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1")).size(), 2);
    }

    void frequencyListIsCachedForEveryService()
    {
        // Filled by the case above; a new instance answers from the cache,
        // synchronously, without a request.
        const QList<FrequencyInfo> cached = CPIndexDataService::cachedFrequencies();
        QVERIFY(!cached.isEmpty());
        m_ds.clear();

        CPIndexDataService other;
        QSignalSpy spy(&other, &CPIndexDataService::getFrequencyFinished);
        other.getFrequencyList();
        QCOMPARE(spy.count(), 1); // inside the call
        QCOMPARE(spy.at(0).at(0).value<QList<FrequencyInfo>>(), cached);
        QTest::qWait(50);
        QVERIFY(m_ds.requests().isEmpty());
    }

    void catalogueAndIndexQueries()
    {
        CPIndexDataService service;
        const HttpJsonResult catalog = waitFor([&](auto cb) {
            service.getCatalog(QStringLiteral("ZRN_GENERAL_INDEX_CATEGORY_1"), cb);
        });
        QVERIFY2(catalog.success, qPrintable(catalog.errorMsg));
        QVERIFY(catalog.data.array().size() > 10);
        QJsonObject sent = m_ds.requests().last();
        QCOMPARE(order(sent), QJsonArray({QJsonObject{{"field", "CAT_CODE"}, {"direction", 1}}}));
        QCOMPARE(sent.value("ignoreTotal").toBool(), true);

        HttpJsonResult indices;
        service.getIndexs(QStringLiteral("ZRN_GENERAL_INDEX_MULTIPRICE_1"), QStringLiteral("CAT_CODE"), 380201, indices);
        QVERIFY2(indices.success, qPrintable(indices.errorMsg));
        QCOMPARE(indices.data.array().size(), 3);
        sent = m_ds.requests().last();
        QCOMPARE(params(sent).value("PNODE").toInt(), 380201);
        QVERIFY(order(sent).isEmpty());

        HttpJsonResult byIds;
        service.getIndexes(QStringLiteral("ZRN_GENERAL_INDEX_1"), {kIndexBase + 1, kIndexBase + 20}, byIds);
        QVERIFY(byIds.success);
        QCOMPARE(byIds.data.array().size(), 2);
        sent = m_ds.requests().last();
        QCOMPARE(params(sent).value("IDX_IDS"), QJsonValue(QJsonArray{double(kIndexBase + 1), double(kIndexBase + 20)}));

        const HttpJsonResult one = waitFor([&](auto cb) {
            CPIndexDataService::getIndex(service.datasource(), QStringLiteral("ZRN_GENERAL_INDEX_1"),
                                         QStringLiteral("IDX_ID"), kIndexBase + 21, cb);
        });
        QCOMPARE(one.data.array().size(), 1);
        QCOMPARE(one.data.array().at(0).toObject().value("INDEX_NAME").toString(), QStringLiteral("美元指数"));
        sent = m_ds.requests().last();
        QCOMPARE(qint64(params(sent).value("IDX_ID").toDouble()), kIndexBase + 21);

        const HttpJsonResult props = waitFor([&](auto cb) {
            service.getProperties(QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"), cb);
        });
        QVERIFY(props.success);
        QVERIFY(!props.data.array().isEmpty());
        sent = m_ds.requests().last();
        QCOMPARE(sent.value("objName").toString(), QStringLiteral("ZRN_GET_PROPERTIES_BY_OBJNAME_1"));
        QCOMPARE(params(sent).value("OBJ_ENG_NAME").toString(), QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"));
    }

    void rowsByFrequency()
    {
        CPIndexDataService service;
        const HttpJsonResult weekly = waitFor([&](auto cb) {
            service.getIndexesByFrequency(QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"), {kIndexBase + 1, kIndexBase + 8},
                                          7, cb);
        });
        QVERIFY2(weekly.success, qPrintable(weekly.errorMsg));
        QCOMPARE(weekly.data.array().size(), 2); // a daily and a weekly index both have weekly rows
        for (const QJsonValue &row : weekly.data.array())
            QCOMPARE(row.toObject().value("FREQUENCY_CODE").toInt(), 7);
        QJsonObject sent = m_ds.requests().last();
        QCOMPARE(params(sent).value("FREQUENCY_CODE").toInt(), 7);

        // An empty list still goes out, as an empty array, and selects nothing.
        const HttpJsonResult none = waitFor([&](auto cb) {
            service.getIndexesByFrequency(QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"), {}, 365, cb);
        });
        QVERIFY(none.success);
        QVERIFY(none.data.array().isEmpty());
        sent = m_ds.requests().last();
        QCOMPARE(params(sent).value("IDX_IDS"), QJsonValue(QJsonArray()));
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
        const QList<QVariantMap> roots = CPProductService::buildTree(categories, products, QStringLiteral("p2"), &matched);
        QCOMPARE(matched.value("CAT_CODE").toString(), QStringLiteral("B")); // the first p2
        QCOMPARE(roots.size(), 2);
        QCOMPARE(roots.at(0).value("CAT_CODE").toString(), QStringLiteral("A"));
        const QVariantList children = roots.at(0).value("children").toList();
        QCOMPARE(children.size(), 2); // A11 sits under a sub-category and is dropped
        QCOMPARE(children.at(0).toMap().value("CAT_CODE").toString(), QStringLiteral("A1"));
        QCOMPARE(children.at(1).toMap().value("CAT_CODE").toString(), QStringLiteral("A2"));
        const QVariantList a1 = children.at(0).toMap().value("productions").toList();
        QCOMPARE(a1.size(), 2);
        QCOMPARE(a1.at(0).toMap().value("PRODUCT_CODE").toString(), QStringLiteral("p1"));
        QCOMPARE(a1.at(1).toMap().value("PRODUCT_CODE").toString(), QStringLiteral("p3"));
        QVERIFY(roots.at(0).value("productions").toList().isEmpty());
        QCOMPARE(roots.at(1).value("productions").toList().size(), 1);
        QVERIFY(roots.at(1).value("children").toList().isEmpty());

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
        QStringList rootNames;
        for (const QVariantMap &root : roots)
            rootNames << root.value("CAT_NAME").toString();
        QCOMPARE(rootNames, QStringList({"黑色金属", "有色金属", "能源化工", "农产品"}));
        // No third level: every child's own children key is absent.
        for (const QVariantMap &root : roots)
            for (const QVariant &child : root.value("children").toList())
                QVERIFY(!child.toMap().contains("children"));
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

        for (const char *ref : {"A1", "B1", "C1", "D1", "E1"}) {
            const QJsonObject h = cells.value(ref);
            QVERIFY2(h.value("bold").toBool(), ref);
            QCOMPARE(h.value("horizontal").toString(), QStringLiteral("center"));
            QCOMPARE(h.value("vertical").toString(), QStringLiteral("distributed"));
        }
        QCOMPARE(cells.value("B1").value("value").toString(), QStringLiteral("最新值"));

        QCOMPARE(cells.value("A2").value("value").toString(), QStringLiteral("螺纹钢上海"));
        QCOMPARE(cells.value("A2").value("vertical").toString(), QStringLiteral("center"));
        QCOMPARE(cells.value("B2").value("value").toDouble(), 4012.5);
        QCOMPARE(cells.value("B2").value("format").toString(), QStringLiteral("#,##0.00######;-#,##0.00######"));
        QCOMPARE(cells.value("C2").value("value").toDouble(), 9007199254740.0);
        QCOMPARE(cells.value("C2").value("format").toString(), QStringLiteral("#,##0;-#,##0"));
        // Text after a number keeps that number's format.
        QCOMPARE(cells.value("D2").value("value").toString(), QStringLiteral("ab"));
        QCOMPARE(cells.value("D2").value("format").toString(), QStringLiteral("#,##0;-#,##0"));
        QCOMPARE(cells.value("E2").value("value").toString(), QStringLiteral("-"));
        QCOMPARE(cells.value("B3").value("value").toString(), QStringLiteral("-")); // the missing-value mark
        QCOMPARE(cells.value("B3").value("type").toString(), QStringLiteral("str"));
        QCOMPARE(cells.value("C3").value("type").toString(), QStringLiteral("int"));
        QCOMPARE(cells.value("E3").value("value").toString(), QStringLiteral("2024-01-05"));
        QCOMPARE(cells.value("A3").value("horizontal").toString(), QStringLiteral("center"));
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
