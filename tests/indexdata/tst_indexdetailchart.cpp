// The detail chart apart from widgets: the option of every chart type and
// of the season form, moving averages, the season rows, the data table and
// the defaults of the chart options.
#include "indexdata/detail/cpindexdetailchart.h"
#include "zhptest.h"

#include <QStandardItemModel>
#include <QtTest>

using namespace HXCPControls;

namespace {

// The chart settings a case of the data folder names; the others keep their defaults.
CPDetailChartOptions optionsOf(const QJsonObject &o)
{
    CPDetailChartOptions options;
    options.chartType = o.value("chartType").toInt(options.chartType);
    options.form = o.value("form").toInt(options.form);
    options.showLegend = o.value("showLegend").toBool(options.showLegend);
    options.showGridLines = o.value("showGridLines").toBool();
    options.showMarks = o.value("showMarks").toBool();
    options.showTitle = o.value("showTitle").toBool();
    options.titleText = o.value("titleText").toString();
    options.titleAlign = o.value("titleAlign").toString(options.titleAlign);
    const QJsonObject axes = o.value("axisSettings").toObject(); // index ID: [line type, axis, unit]
    for (auto it = axes.begin(); it != axes.end(); ++it) {
        const QJsonArray a = it.value().toArray();
        options.axisSettings.insert(it.key().toLongLong(), {a[0].toInt(), a[1].toInt(), a[2].toString()});
    }
    return options;
}

const QList<QVariantMap> kIndexes{
    {{"IDX_ID", 1.0}, {"INDEX_NAME", "甲"}, {"UNIT_NAME", "元/吨"}},
    {{"IDX_ID", 2.0}, {"INDEX_NAME", "乙"}, {"UNIT_NAME", "万吨"}},
};

QJsonObject valueRow(qint64 id, const char *date, const QJsonValue &value)
{
    return {{"IDX_ID", double(id)}, {"PUBLISH_DT", date}, {"INDEX_VAL", value}};
}

// Two indices over two days; 乙 has no value on the second day, and a row
// of an index that is not shown is ignored.
QJsonArray normalRows()
{
    return {valueRow(1, "2024-01-03", 12), valueRow(1, "2024-01-02", 10), valueRow(2, "2024-01-02", 5),
            valueRow(2, "2024-01-03", "n/a"), valueRow(3, "2024-01-02", 99)};
}

// The table as text: the row of headers, then every row, cells joined by "|".
QStringList tableText(const QStandardItemModel &model)
{
    QStringList rows, cells;
    for (int c = 0; c < model.columnCount(); ++c)
        cells << model.headerData(c, Qt::Horizontal).toString();
    rows << cells.join('|');
    for (int r = 0; r < model.rowCount(); ++r) {
        cells.clear();
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.item(r, c)->text();
        rows << cells.join('|');
    }
    return rows;
}

} // namespace


class TstIndexDetailChart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZhpTest::failOnUnexpectedMessages(); }

    // The option of every chart type and of the season form, against the
    // options of the data folder (the palette aside).
    void optionOfEveryForm_data()
    {
        QTest::addColumn<QJsonObject>("form");
        QFile file(QStringLiteral(INDEX_DATA_DIR "/detailoptions.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QJsonValue &form : QJsonDocument::fromJson(file.readAll()).array())
            QTest::newRow(qPrintable(form["name"].toString())) << form.toObject();
    }

    void optionOfEveryForm()
    {
        QFETCH(QJsonObject, form);
        const bool season = form["season"].toBool();
        const CPDetailDataset data = season
            ? CPIndexDetailChart::seasonDataset({valueRow(1, "2023-03-31", 1), valueRow(1, "2023-12-31", 2),
                                                 valueRow(1, "2024-06-30", 4), valueRow(1, "2025-03-31", 9)},
                                                4, 2023, 2024)
            : CPIndexDetailChart::normalDataset(normalRows(), kIndexes);
        QJsonObject expected = form["expected"].toObject();
        expected.insert("color", CPIndexDetailChart::palette());
        const QJsonObject option = CPIndexDetailChart::buildOption(optionsOf(form["options"].toObject()), {data},
                                                                   season ? kIndexes.mid(0, 1) : kIndexes);
        QCOMPARE(QJsonDocument(option).toJson(), QJsonDocument(expected).toJson());
    }

    void klineMovingAverages()
    {
        QJsonArray values;
        for (double v : {1, 2, 3, 4, 5, 6, 7})
            values.append(v);
        values.replace(2, QJsonValue::Null); // a gap counts as 0
        const QJsonArray ma5 = CPIndexDetailChart::movingAverage(values, 5);
        QCOMPARE(ma5, (QJsonArray{"-", "-", "-", "-", "-", (2 + 0 + 4 + 5 + 6) / 5.0, (0 + 4 + 5 + 6 + 7) / 5.0}));
        QCOMPARE(CPIndexDetailChart::movingAverage(values, 30), (QJsonArray{"-", "-", "-", "-", "-", "-", "-"}));
    }

    // The season table: a row of headers, then the rows from the top (all of them when `rows` says so).
    void seasonRowsAndTable_data()
    {
        QTest::addColumn<int>("frequency");
        QTest::addColumn<int>("endYear");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<int>("rows");

        // Monthly: all twelve months, whether or not they have values.
        QTest::newRow("monthly") << 12 << 2024 << QStringList{"|发布月份|2023年|2024年", "1|01月份|-|3.5", "2|02月份|2|-"} << 12;
        // Equal years: one year column.
        QTest::newRow("quarterly, one year") << 4 << 2023 << QStringList{"|发布季度|2023年", "1|1季度|2", "2|2季度|-", "3|3季度|-", "4|4季度|7"} << 4;
        // Other frequencies: the days present, in calendar order whatever the year.
        QTest::newRow("daily") << 365 << 2024
                               << QStringList{"|发布日期|2023年|2024年", "1|01月05日|-|3.5", "2|02月28日|2|-", "3|02月29日|-|-", "4|12月31日|7|-"} << 4;
        // A start after the end: no year at all.
        QTest::newRow("years reversed") << 365 << 2022 << QStringList{"|发布日期"} << 0;
    }

    void seasonRowsAndTable()
    {
        QFETCH(int, frequency);
        QFETCH(int, endYear);
        QFETCH(QStringList, table);
        QFETCH(int, rows);
        const QJsonArray values{valueRow(1, "2023-02-28", 2), valueRow(1, "2023-12-31", 7), valueRow(1, "2024-01-05", 3.5),
                                valueRow(1, "2024-02-29", QJsonValue::Null), valueRow(1, "2022-06-01", 1)};
        QStandardItemModel model;
        CPIndexDetailChart::fillTable(&model, CPIndexDetailChart::seasonDataset(values, frequency, 2023, endYear), CPDetailChartOptions::Season,
                                      frequency);
        QCOMPARE(model.rowCount(), rows);
        QCOMPARE(tableText(model).mid(0, table.size()), table);
    }

    void normalTableCells()
    {
        QStandardItemModel model;
        CPIndexDetailChart::fillTable(&model, CPIndexDetailChart::normalDataset(normalRows(), kIndexes),
                                      CPDetailChartOptions::Normal, 0);
        // A text value is no number: shown as missing. The values themselves stay for the export.
        QCOMPARE(tableText(model), QStringList({"|发布日期|甲|乙", "1|2024-01-02|10|5", "2|2024-01-03|12|-"}));
        QCOMPARE(model.item(1, 2)->data(Qt::UserRole + 1).toDouble(), 12.0);
        QVERIFY(!model.item(1, 3)->data(Qt::UserRole + 1).isValid());

        // No values at all: headers and no rows.
        CPIndexDetailChart::fillTable(&model, CPIndexDetailChart::normalDataset({}, kIndexes), CPDetailChartOptions::Normal, 0);
        QCOMPARE(tableText(model), QStringList({"|发布日期|甲|乙"}));
    }

    void optionDefaults_data()
    {
        QTest::addColumn<QString>("params");
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("frequency");
        QTest::addColumn<bool>("seasonAvailable");

        const QString monthly = R"([{"name":"X","defaultValue":4},{"name":"FREQUENCY_CODE","defaultValue":12}])";
        QTest::newRow("monthly") << monthly << 0 << 12 << true;
        QTest::newRow("yearly") << R"([{"name":"FREQUENCY_CODE","defaultValue":1}])" << 0 << 1 << false;
        QTest::newRow("missing") << QString() << 0 << -1 << false;
        QTest::newRow("not JSON") << "{oops" << 0 << -1 << false;
        QTest::newRow("season form") << monthly << 1 << 12 << true;
    }

    void optionDefaults()
    {
        QFETCH(QString, params);
        QFETCH(int, form);
        QFETCH(int, frequency);
        QFETCH(bool, seasonAvailable);
        CPDetailChartOptions o;
        o.chartType = 9;
        o.showLegend = false;
        o.showTitle = true;
        o.titleAlign = QStringLiteral("left");
        o.axisSettings.insert(1, {1, 1, QString()});
        const QDate today(2025, 3, 10);
        o.reset(form, {{"INDEX_PARAMS", params}}, today);
        QCOMPARE(o.form, form);
        QCOMPARE(o.chartType, 1);
        QVERIFY(o.showLegend && !o.showTitle && !o.showGridLines && !o.showMarks && o.axisSettings.isEmpty());
        QCOMPARE(o.titleAlign, QStringLiteral("center"));
        QCOMPARE(o.frequencyCode, frequency);
        QCOMPARE(o.seasonAvailable, seasonAvailable);
        if (form == CPDetailChartOptions::Season) {
            QCOMPARE(o.startDate, QDate(2021, 3, 10));
            QCOMPARE(o.endDate, today);
            // A range once set survives "还原".
            o.startDate = QDate(2019, 1, 1);
            o.reset(form, {}, today);
            QCOMPARE(o.startDate, QDate(2019, 1, 1));
        }
    }
};

QTEST_MAIN(TstIndexDetailChart)
#include "tst_indexdetailchart.moc"
