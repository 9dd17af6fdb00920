// Chart types, chart queries and the reshaping of value rows into datasets;
// zhpctl makedata and option, which run the same builders over files.
#include "zhpctlrun.h"
#include "zhptest.h"

#include "charts/charttypeinfo.h"
#include "charts/cpchartdatabuilder.h"
#include "charts/cpchartsservice.h"

#include <QTemporaryDir>

using namespace HXCPControls;

namespace {

qint64 ms(const char *date)
{
    return QDateTime(QDate::fromString(QLatin1String(date), Qt::ISODate), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
}

QJsonObject record(qint64 id, const char *date, const QJsonValue &value)
{
    return QJsonObject{{"IDX_ID", double(id)}, {"PUBLISH_DT", double(ms(date))}, {"INDEX_VAL", value}};
}

QVariantMap calEntry(const QString &name, const QString &expression)
{
    return {{"INDEX_NAME", name}, {"isCal", true}, {"idxIdExpression", expression}};
}

CPChartDataBuilder::Result timeSeries(const QJsonArray &records, const QList<Dimension> &dims,
                                      const QVariantMap &cal = {}, const QList<qlonglong> &ids = {})
{
    return CPChartDataBuilder::makeData(1, QJsonDocument(records), dims, "IDX_ID", "INDEX_VAL", "PUBLISH_DT", cal, ids);
}

QJsonArray strings(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

QJsonArray parseArray(const char *json)
{
    return QJsonDocument::fromJson(json).array();
}

} // namespace

class TstChartData : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(text);
        return file.fileName();
    }

private slots:
    void initTestCase() { ZhpTest::failOnUnexpectedMessages(); }

    void startDates()
    {
        const QDate today(2024, 5, 31);
        // Two years by default; else years (1), months (2) or quarters (3) back from today, or a fixed date.
        const QList<QPair<QVariantMap, QString>> cases{
            {{}, "[2022-05-31]"},
            {{{"isLatestDate", true}, {"date", "3"}, {"unit", 2}}, "[2024-02-29]"},
            {{{"isLatestDate", true}, {"date", "2"}, {"unit", 3}}, "[2023-11-30]"},
            {{{"isLatestDate", true}, {"date", "1"}, {"unit", 1}}, "[2023-05-31]"},
            {{{"isLatestDate", false}, {"date", "2021-03-04"}, {"unit", 1}}, "[2021-03-04]"}};
        for (const auto &c : cases)
            QCOMPARE(CPChartsService::startDate(c.first, today), c.second);
    }

    void seasonRangeAndColumns()
    {
        const QDate today(2024, 5, 1);
        QCOMPARE(CPChartsService::seasonRange({{"seasonStart", "2018"}, {"seasonEnd", "2020"}}, today),
                 qMakePair(QString("2018-01-01"), QString("2020-12-31")));
        // Without an end the default five years apply.
        QCOMPARE(CPChartsService::seasonRange({{"seasonStart", "2018"}}, today),
                 qMakePair(QString("2020-01-01"), QString("2024-12-31")));
        QCOMPARE(CPChartDataBuilder::seasonDimensions({}, today),
                 (QStringList{"header", "2020年", "2021年", "2022年", "2023年", "2024年"}));
        QCOMPARE(CPChartDataBuilder::seasonDimensions({{"seasonStart", "2022"}, {"seasonEnd", "2023"}}, today),
                 (QStringList{"header", "2022年", "2023年"}));
    }

    void timeSeriesShape()
    {
        // Rows arrive by index, then by date; the dataset is by date.
        const QJsonArray records{record(102, "2024-01-03", 7), record(101, "2024-01-02", 1.5), record(101, "2024-01-03", 2),
                                 record(102, "2024-01-01", QJsonValue::Null), record(999, "2024-01-04", 3),
                                 QJsonObject{{"IDX_ID", 101}, {"PUBLISH_DT", "not a date"}, {"INDEX_VAL", 4}},
                                 QJsonObject{{"IDX_ID", 101}, {"PUBLISH_DT", "2024-01-05"}, {"INDEX_VAL", "8.25"}}};
        const auto [dims, source] = timeSeries(records, {{"甲", 101}, {"乙", 102}});
        QCOMPARE(dims, strings({"header", "甲", "乙"}));
        // An index that no dimension names gives no cell; a row without a date is dropped.
        QCOMPARE(source, parseArray(R"([{"header": "2024-01-01", "乙": null}, {"header": "2024-01-02", "甲": 1.5},
            {"header": "2024-01-03", "甲": 2, "乙": 7}, {"header": "2024-01-04"}, {"header": "2024-01-05", "甲": 8.25}])"));
    }

    void categoryShape()
    {
        // Every record gives a row: a null or non-numeric value counts as 0, an ID
        // that no dimension names gives an empty name.
        const QJsonArray records{QJsonObject{{"IDX_ID", 5001}, {"PRICE", 3900}}, QJsonObject{{"IDX_ID", 5002}, {"PRICE", "4100.5"}},
                                 QJsonObject{{"IDX_ID", 5003}, {"PRICE", QJsonValue::Null}}, QJsonObject{{"IDX_ID", 5004}, {"PRICE", "n/a"}},
                                 QJsonObject{{"IDX_ID", 5999}, {"PRICE", 10}}};
        const auto [dims, source] = CPChartDataBuilder::makeData(3, QJsonDocument(records), {{"北京", 5001}, {"广东", 5002}, {"上海", 5003}, {"西藏", 5004}},
                                                                 "IDX_ID", "PRICE", "PUBLISH_DT", {}, {});
        QCOMPARE(dims, strings({"header", "value"}));
        QCOMPARE(source, parseArray(R"([{"header": "北京", "value": 3900}, {"header": "广东", "value": 4100.5}, {"header": "上海", "value": 0},
            {"header": "西藏", "value": 0}, {"header": "", "value": 10}])"));
    }

    void calculatedIndices()
    {
        const QJsonArray records{record(101, "2024-01-01", 10), record(102, "2024-01-01", 20), record(101, "2024-01-02", 30),
                                 record(1010, "2024-01-02", 5), record(102, "2024-01-03", -4), record(101, "2024-01-03", 6)};
        const QVariantMap cal{{"均值", calEntry("均值", "(101+102)/2")},
                              {"差", calEntry("差", "101-102")},
                              {"长号", calEntry("长号", "1010*2+101")}};
        const auto [dims, source] = timeSeries(records, {{"甲", 101}, {"均值", 0}, {"差", 0}, {"长号", 0}}, cal, {101, 102, 1010});
        QCOMPARE(dims, strings({"header", "甲", "均值", "差", "长号"}));
        // An operand missing on a date makes its result not a number, the row stays; an ID
        // that begins with another ID (1010) is an operand of its own; negative operands
        // keep the expression intact (10 - -4).
        QCOMPARE(source, parseArray(R"([{"header": "2024-01-01", "甲": 10, "均值": 15, "差": -10, "长号": null},
            {"header": "2024-01-02", "甲": 30, "均值": null, "差": null, "长号": 40},
            {"header": "2024-01-03", "甲": 6, "均值": 1, "差": 10, "长号": null}])"));
    }

    void seasonShapes_data()
    {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("filled"); // the rows that have values, by label
        QTest::newRow("monthly") << 12 << QStringList{"1月份", "2月份", "3月份", "4月份", "5月份", "6月份", "7月份", "8月份", "9月份", "10月份", "11月份", "12月份"}
                                 << R"({"2月份": {"2024年": 2}, "3月份": {"2023年": 1, "2024年": 3}, "11月份": {"2023年": 4}})";
        // February and March of 2024 share the first quarter; the later value stays.
        QTest::newRow("quarterly") << 4 << QStringList{"1季度", "2季度", "3季度", "4季度"}
                                   << R"({"1季度": {"2023年": 1, "2024年": 3}, "4季度": {"2023年": 4}})";
        QTest::newRow("daily") << 365 << QStringList{"02月29日", "03月31日", "11月30日"}
                               << R"({"02月29日": {"2024年": 2}, "03月31日": {"2023年": 1, "2024年": 3}, "11月30日": {"2023年": 4}})";
    }

    void seasonShapes()
    {
        QFETCH(int, frequency);
        QFETCH(QStringList, labels);
        QFETCH(QString, filled);
        const QJsonArray records{record(34, "2023-03-31", 1), record(34, "2024-02-29", 2), record(34, "2024-03-31", 3),
                                 record(34, "2023-11-30", 4)};
        const auto [dims, source] = CPChartDataBuilder::makeSeasonData(frequency, QJsonDocument(records), {{"2023年", 0}, {"2024年", 0}},
                                                                       "INDEX_VAL", "PUBLISH_DT", {}, {34});
        QCOMPARE(dims, strings({"header", "2023年", "2024年"}));
        QCOMPARE(source.size(), labels.size());
        const QJsonObject values = QJsonDocument::fromJson(filled.toUtf8()).object();
        for (int i = 0; i < source.size(); ++i) {
            QJsonObject want = values.value(labels[i]).toObject();
            want.insert("header", labels[i]);
            QCOMPARE(source[i].toObject(), want);
        }
    }

    void seasonWithCalculatedIndex()
    {
        const QJsonArray records{record(101, "2023-01-31", 2), record(102, "2023-01-31", 3), record(101, "2024-01-31", 5)};
        const auto [dims, source] = CPChartDataBuilder::makeSeasonData(12, QJsonDocument(records), {{"2023年", 0}, {"2024年", 0}},
                                                                       "INDEX_VAL", "PUBLISH_DT",
                                                                       {{"积", calEntry("积", "101*102")}}, {101, 102});
        const QJsonObject january = source[0].toObject();
        QCOMPARE(january.value("2023年").toDouble(), 6.0);
        QVERIFY(january.value("2024年").isNull());
    }

    void badInputIsHarmless()
    {
        // Not an array, rows that are not objects, strange values: nothing breaks.
        QCOMPARE(CPChartDataBuilder::makeData(1, QJsonDocument(QJsonObject{{"a", 1}}), {{"甲", 1}}, "IDX_ID", "INDEX_VAL",
                                              "PUBLISH_DT", {}, {}).second.size(), 0);
        QCOMPARE(timeSeries(QJsonArray{1, "x", QJsonArray{}, QJsonObject{{"IDX_ID", "abc"}}}, {{"甲", 1}}).second.size(), 0);
        QCOMPARE(CPChartDataBuilder::makeSeasonData(12, QJsonDocument(QJsonArray{1, QJsonObject{}}), {}, "INDEX_VAL", "PUBLISH_DT",
                                                    {}, {}).second.size(), 12);
        // An absurd stored range is bounded.
        QVERIFY(CPChartDataBuilder::seasonDimensions({{"seasonStart", "-2000000000"}, {"seasonEnd", "2024"}}).size() <= 202);
    }

    void makeDataThenOption()
    {
        // 2024-01-01 and 2024-01-02 as datasource dates (milliseconds, UTC).
        const QString records = write("records.json", R"([
            {"IDX_ID": 101, "PUBLISH_DT": 1704067200000, "INDEX_VAL": 10},
            {"IDX_ID": 102, "PUBLISH_DT": 1704067200000, "INDEX_VAL": 30},
            {"IDX_ID": 101, "PUBLISH_DT": 1704153600000, "INDEX_VAL": 12}])");
        const QString dims = write("dims.json", R"([{"name": "甲", "id": 101}, {"name": "乙", "id": 102}, {"name": "均值", "id": 0}])");
        const QString cal = write("cal.json", R"({"均值": {"INDEX_NAME": "均值", "isCal": true, "idxIdExpression": "(101+102)/2"}})");
        ZhpctlRun r = runZhpctl({"makedata", "--query-type", "1", "--records", records, "--dimensions", dims, "--cal", cal, "--ids", "101,102"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject data = r.json();
        QCOMPARE(data, QJsonDocument::fromJson(R"({"dimensions": ["header", "甲", "乙", "均值"], "source": [
            {"header": "2024-01-01", "甲": 10, "乙": 30, "均值": 20}, {"header": "2024-01-02", "甲": 12, "均值": null}]})").object());

        const QString dataset = write("dataset.json", QJsonDocument(data).toJson());
        const QString cfg = write("cfg.json", R"({"units": {"甲": "元/吨", "乙": "万吨"},
            "HXCPControls::HXLegendCfgWidget": {"showLegend": true, "legendPosition": "H"}})");
        r = runZhpctl({"option", "--type", "2", "--cfg", cfg, "--dataset", dataset});
        QCOMPARE(r.exitCode, 0);
        QJsonObject option = r.json();
        QCOMPARE(option.value("dataset").toArray()[0].toObject(), data);

        // --full names the builders that run.
        r = runZhpctl({"option", "--type", "3", "--cfg", cfg, "--dataset", dataset, "--full", "HXPieOptionCfgWidget,HXToolTipCfgWidget"});
        QCOMPARE(r.exitCode, 0);
        option = r.json();
        QCOMPARE(option.keys(), (QStringList{"color", "dataset", "series", "tooltip"}));
    }

    void seasonShape()
    {
        const QString records = write("season.json", R"([{"IDX_ID": 34, "PUBLISH_DT": "2023-03-31", "INDEX_VAL": 8000},
                                                         {"IDX_ID": 34, "PUBLISH_DT": "2024-03-31", "INDEX_VAL": 8100}])");
        const QString query = write("query.json", R"({"seasonStart": "2023", "seasonEnd": "2024"})");
        const ZhpctlRun r = runZhpctl({"makedata", "--records", records, "--ids", "34", "--season-frequency", "4", "--season-query", query});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json(), QJsonDocument::fromJson(R"({"dimensions": ["header", "2023年", "2024年"], "source": [
            {"header": "1季度", "2023年": 8000, "2024年": 8100}, {"header": "2季度"}, {"header": "3季度"}, {"header": "4季度"}]})").object());
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString bad = write("bad.json", "{not json");
        const QString array = write("array.json", "[1, 2]");
        const QString object = write("object.json", "{}");
        const QString dims = write("dims1.json", R"([{"name": "甲", "id": 1}])");
        QTest::newRow("no arguments") << QStringList{"option"} << 2 << "usage: zhpctl option";
        QTest::newRow("unknown option") << QStringList{"makedata", "--frobnicate", "1"} << 2 << "unexpected argument --frobnicate";
        QTest::newRow("broken cfg") << QStringList{"option", "--type", "1", "--cfg", bad, "--dataset", bad} << 1 << "bad.json:";
        QTest::newRow("missing file") << QStringList{"option", "--type", "1", "--cfg", m_dir.filePath("none.json"), "--dataset", bad} << 1 << "cannot read";
        QTest::newRow("dataset not an object") << QStringList{"option", "--type", "1", "--cfg", object, "--dataset", array}
                                              << 1 << "the dataset must be an object";
        QTest::newRow("type not a number") << QStringList{"option", "--type", "line", "--cfg", bad, "--dataset", bad} << 1 << "--type must be";
        QTest::newRow("records not an array") << QStringList{"makedata", "--query-type", "1", "--records", object, "--dimensions", array} << 1 << "the records must be a JSON array";
        QTest::newRow("dimension without name") << QStringList{"makedata", "--query-type", "1", "--records", array, "--dimensions", array}
                                               << 1 << "every dimension needs a \"name\"";
        QTest::newRow("bad id") << QStringList{"makedata", "--query-type", "1", "--records", array, "--dimensions", dims, "--ids", "1,x"} << 1 << "--ids: x is not an index ID";
    }

    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const ZhpctlRun r = runZhpctl(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstChartData)
#include "tst_chartdata.moc"
