// The option builders, their assembly per chart type, the column filter and
// the palette. Every option built for a chart type is also written out for
// the ECharts rendering check.
#include "zhptest.h"

#include "charts/cpindexchartinfo.h"
#include "charts/hxchartoption.h"
#include "charts/hxoptionfilterbasewidget.h"
#include "charts/hxoptionitemregistry.h"

#include <QFontMetrics>

using namespace HXCPControls;

namespace {

const QString kSeriesKey = "HXCPControls::HXSeriesOptionCfgWidget";
const QString kLegendKey = "HXCPControls::HXLegendCfgWidget";
const QString kAxisKey = "HXCPControls::HXXYDataCfgWidget";

QJsonObject dataset(const QStringList &series, int dates = 3)
{
    QJsonArray dims{"header"};
    for (const QString &s : series)
        dims.append(s);
    QJsonArray source;
    for (int d = 0; d < dates; ++d) {
        QJsonObject row{{"header", QDate(2024, 1, 1).addDays(d).toString(Qt::ISODate)}};
        for (int s = 0; s < series.size(); ++s)
            row.insert(series[s], 100 * (s + 1) + d);
        source.append(row);
    }
    return {{"dimensions", dims}, {"source", source}};
}

QJsonObject withDataset(const QJsonObject &ds)
{
    return {{"dataset", QJsonArray{ds}}};
}

QJsonObject build(void (*builder)(const QVariantMap &, QJsonObject &), const QVariantMap &cfg, QJsonObject option)
{
    builder(cfg, option);
    return option;
}

QJsonObject parse(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

QJsonArray parseArray(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8()).array();
}

QVariantMap legendEntry(const QString &pos, const QString &h, const QString &v, bool show = true)
{
    return {{"showLegend", show}, {"legendPosition", pos}, {"legendHPosition", h}, {"legendVPosition", v}};
}

QJsonObject areasDataset()
{
    const QStringList areas{"北京", "广东", "上海", "四川", "新疆"};
    QJsonArray source;
    for (int i = 0; i < areas.size(); ++i)
        source.append(QJsonObject{{"header", areas[i]}, {"value", 3800 + 50 * i}});
    return {{"dimensions", QJsonArray{"header", "value"}}, {"source", source}};
}

} // namespace

class TstOptionBuilder : public QObject
{
    Q_OBJECT

    QDir m_out;

    void writeOption(const QString &name, QJsonObject option)
    {
        HXChartOption::applyPalette(option);
        option.insert("animation", false);
        QFile file(m_out.filePath(name + ".json"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QJsonDocument(option).toJson(QJsonDocument::Compact));
    }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        QDir(QStringLiteral(CHART_OPTION_DIR)).removeRecursively();
        QVERIFY(QDir().mkpath(QStringLiteral(CHART_OPTION_DIR)));
        m_out = QDir(QStringLiteral(CHART_OPTION_DIR));
    }

    void seriesTypeKeys_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bar") << 2 << R"({"name": "甲", "type": "bar", "yAxisIndex": 0, "showSymbol": false, "connectNulls": true})";
        QTest::newRow("area") << 4 << R"({"name": "甲", "type": "line", "areaStyle": {}, "yAxisIndex": 0, "showSymbol": false, "connectNulls": true})";
        QTest::newRow("scatter") << 9 << R"({"name": "甲", "type": "scatter", "yAxisIndex": 0, "showSymbol": false, "connectNulls": true})";
        QTest::newRow("stacked") << 7 << R"({"name": "甲", "type": "bar", "stack": "Stack", "showSymbol": false, "connectNulls": true})";
        QTest::newRow("horizontal") << 6 << R"({"name": "甲", "type": "bar", "encode": {"x": "甲", "y": "header"}, "showSymbol": false, "connectNulls": true})";
        QTest::newRow("horizontal stacked") << 8 << R"({"name": "甲", "type": "bar", "encode": {"x": "甲", "y": "header"}, "stack": "Stack", "showSymbol": false, "connectNulls": true})";
        QTest::newRow("kline") << 10 << R"({"name": "甲", "type": "line", "showSymbol": false, "connectNulls": true})";
    }

    void seriesTypeKeys()
    {
        QFETCH(int, type);
        QFETCH(QString, expected);
        // Entries of stacked and horizontal charts are ignored: no colour, name or axis.
        const QVariantMap cfg{{"type", type}, {kSeriesKey, QVariantMap{{"甲", QVariantMap{{"color", "#ff0000"}, {"nickName", "X"}, {"yAxisIndex", 1}}}}}};
        const QJsonArray series = build(&HXChartOption::buildSeries, cfg, withDataset(dataset({"甲"}))).value("series").toArray();
        QCOMPARE(series.size(), 1);
        QJsonObject want = parse(expected);
        if (type == 2 || type == 4 || type == 9) {
            want.insert("color", QJsonArray{"#ff0000"});
            want.insert("name", "X");
            want.insert("yAxisIndex", 1);
        }
        QCOMPARE(series[0].toObject(), want);
    }

    void twoUnitsMakeTwoAxes()
    {
        const QVariantMap cfg{{"type", 1},
                              {"units", QVariantMap{{"甲", "元/吨"}, {"乙", "万吨"}, {"丙", "万吨"}}},
                              {kAxisKey, QVariantMap{{"isShowUnit", true}, {"isShowNetGrid", true}}}};
        QJsonObject option = withDataset(dataset({"甲", "乙", "丙"}));
        HXChartOption::buildSeries(cfg, option);
        // 丙 has the unit of the series before it: it stays where its entry puts it.
        QList<int> axes;
        for (const QJsonValue &s : option.value("series").toArray())
            axes << s.toObject().value("yAxisIndex").toInt(-1);
        QCOMPARE(axes, (QList<int>{0, 1, 0}));
        HXChartOption::buildAxis(cfg, option);
        QCOMPARE(option.value("xAxis").toObject(),
                 parse(R"({"type": "category", "axisLabel": {"showMaxLabel": true, "showMinLabel": true}, "boundaryGap": false})"));
        // Each axis takes the unit of the last series on it.
        QCOMPARE(option.value("yAxis").toArray(), parseArray(R"([{"type": "value", "scale": true, "splitLine": {"show": true}, "name": "万吨"},
                                                                 {"type": "value", "scale": true, "splitLine": {"show": false}, "name": "万吨"}])"));

        // One unit: one axis, named only when asked to (here through the unit entry).
        QVariantMap one{{"type", 2}, {"units", QVariantMap{{"甲", "元/吨"}, {"乙", "元/吨"}}},
                        {"HXCPControls::HXUnitCfgWidget", QVariantMap{{"isShowUnit", true}}}};
        option = withDataset(dataset({"甲", "乙"}));
        HXChartOption::buildSeries(one, option);
        HXChartOption::buildAxis(one, option);
        QCOMPARE(option.value("yAxis").toObject(), parse(R"({"type": "value", "scale": true, "splitLine": {"show": false}, "name": "元/吨"})"));
        QCOMPARE(option.value("xAxis").toObject(), parse(R"({"type": "category", "boundaryGap": true})"));
    }

    void axesPerType()
    {
        QCOMPARE(build(&HXChartOption::buildAxis, {}, {}),
                 parse(R"({"xAxis": {"type": "category", "axisLabel": {"showMaxLabel": true, "showMinLabel": true}, "boundaryGap": false},
                           "yAxis": {"type": "value", "scale": true}})"));
        for (int type : {3, 5})
            QCOMPARE(build(&HXChartOption::buildAxis, {{"type", type}}, {}), QJsonObject());
        for (int type : {6, 8})
            QCOMPARE(build(&HXChartOption::buildAxis, {{"type", type}}, {}),
                     parse(R"({"xAxis": {"type": "value", "scale": true, "splitLine": {"show": false}}, "yAxis": {"type": "category"}})"));
    }

    void sectionChart()
    {
        QJsonObject option = withDataset(dataset({"甲", "乙", "丙"}, 2));
        HXChartOption::buildSeries({{"type", 11}, {kSeriesKey, QVariantMap{{"isShowMaxMin", true}}}}, option);
        const QJsonArray datasets = option.value("dataset").toArray();
        QCOMPARE(datasets.size(), 2);
        QCOMPARE(datasets[1].toObject(), parse(R"({"dimensions": ["header", "2024-01-01", "2024-01-02"], "source": [
            {"header": "甲", "2024-01-01": 100, "2024-01-02": 101}, {"header": "乙", "2024-01-01": 200, "2024-01-02": 201},
            {"header": "丙", "2024-01-01": 300, "2024-01-02": 301}]})"));
        const QJsonArray series = option.value("series").toArray();
        QCOMPARE(series.size(), 1);
        QCOMPARE(series[0].toObject(), parse(R"({"type": "bar", "datasetIndex": 1, "encode": {"x": "header", "y": "2024-01-01"},
            "markPoint": {"data": [{"type": "max", "name": "Max"}, {"type": "min", "name": "Min"}]}})"));
        HXChartOption::buildAxis({{"type", 11}}, option);
        QCOMPARE(option.value("xAxis").toObject(), parse(R"({"type": "category", "boundaryGap": true, "axisLabel": {"interval": 0, "rotate": 30}})"));

        // The filter lists the dates and points the bars at the chosen one.
        HXPieChartFilterWidget filter;
        QSignalSpy changed(&filter, &HXOptionFilterBaseWidget::configChanged);
        filter.apply(option);
        QCOMPARE(filter.choices(), (QStringList{"2024-01-01", "2024-01-02"}));
        QCOMPARE(changed.count(), 0);
        filter.setCurrentChoice("2024-01-02");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(filter.filter(option).value("series").toArray()[0].toObject().value("encode").toObject().value("y").toString(),
                 QString("2024-01-02"));
    }

    void pieCharts()
    {
        // Untransposed: one slice per date of the first series.
        QJsonObject plain = withDataset(dataset({"甲", "乙"}, 4));
        HXChartOption::buildSeries({{"type", 3}}, plain);
        QCOMPARE(plain.value("dataset").toArray().size(), 1);
        QCOMPARE(plain.value("series").toArray(),
                 QJsonArray{parse(R"({"type": "pie", "datasetIndex": 0, "encode": {"itemName": "header", "value": "甲"}})")});
        // Transposed: one slice per series at the first date. The pie builder drops the axes; run twice, it
        // replaces the transposed dataset instead of adding another.
        QJsonObject pie = withDataset(dataset({"甲", "乙"}, 4));
        pie.insert("xAxis", QJsonObject{});
        pie.insert("yAxis", QJsonObject{});
        const QVariantMap pieCfg{{"type", 3}, {"HXCPControls::HXPieOptionCfgWidget", QVariantMap{{"transposed", true}}}};
        HXChartOption::buildPie(pieCfg, pie);
        HXChartOption::buildPie(pieCfg, pie);
        QVERIFY(!pie.contains("xAxis") && !pie.contains("yAxis"));
        QCOMPARE(pie.value("dataset").toArray().size(), 2);
        QCOMPARE(pie.value("dataset").toArray()[1].toObject().value("source").toArray().size(), 2);
        QCOMPARE(pie.value("series").toArray(),
                 QJsonArray{parse(R"({"type": "pie", "datasetIndex": 1, "encode": {"itemName": "header", "value": "2024-01-01"}})")});

        // The filter points the slices at the chosen date.
        HXPieChartFilterWidget filter;
        filter.apply(pie);
        filter.setCurrentChoice("2024-01-03");
        QCOMPARE(filter.filter(pie).value("series").toArray()[0].toObject().value("encode").toObject().value("value").toString(),
                 QString("2024-01-03"));
    }

    void mapChart()
    {
        QCOMPARE(build(&HXChartOption::buildSeries, {{"type", 5}}, {}).value("series").toArray(),
                 QJsonArray{parse(R"({"type": "map", "map": "CN", "label": {"show": false}})")});

        QJsonObject empty = withDataset(QJsonObject{{"dimensions", QJsonArray{"header", "value"}}, {"source", QJsonArray{}}});
        HXChartOption::buildMap({{"type", 5}}, empty);
        QCOMPARE(empty.value("visualMap").toObject(), parse(R"({"min": 0, "max": 100, "realtime": false, "calculable": true,
            "text": ["高", "低"], "inRange": {"color": ["#a3ccf8", "#7ca4e3", "#547cce"]}})"));

        // Areas without a value do not stretch the range.
        const QVariantMap custom{{"isCustomColor", true}, {"color1", "#111111"}, {"color2", "#222222"}, {"color3", "#333333"}};
        const QJsonObject option = build(&HXChartOption::buildMap, {{"type", 5}, {"HXCPControls::HXMapCfgWidget", custom}},
                                         withDataset(parse(R"({"dimensions": ["header", "value"], "source": [{"header": "广东", "value": 4000},
                                             {"header": "西藏", "value": null}, {"header": "北京", "value": 3800}, {"header": "上海", "value": 3900}]})")));
        QCOMPARE(option.value("visualMap").toObject(), parse(R"({"min": 3800, "max": 4000, "realtime": false, "calculable": true,
            "text": ["高", "低"], "inRange": {"color": ["#111111", "#222222", "#333333"]}})"));
    }

    void legends_data()
    {
        QTest::addColumn<QVariantMap>("entry");
        QTest::addColumn<QString>("expected");
        QTest::newRow("defaults") << legendEntry("", "", "") << R"({"type": "scroll", "orient": "horizontal", "x": "center", "y": "top"})";
        QTest::newRow("others") << legendEntry("X", "R", "C") << R"({"type": "scroll", "orient": "vertical", "x": "right", "y": "center"})";
    }

    void legends()
    {
        QFETCH(QVariantMap, entry);
        QFETCH(QString, expected);
        const QJsonObject want = parse(expected);
        QCOMPARE(build(&HXChartOption::buildLegend, {{kLegendKey, entry}}, {}).value("legend").toObject(), want);
        // The title entry stands in for a missing legend entry; the title builder always drops the title.
        const QVariantMap byTitle{{"HXCPControls::HXTitleOptionWidget", entry}};
        QCOMPARE(build(&HXChartOption::buildLegend, byTitle, {}).value("legend").toObject(), want);
        const QJsonObject titled = build(&HXChartOption::buildTitle, byTitle, {{"title", QJsonObject{{"text", "t"}}}});
        QCOMPARE(titled, (QJsonObject{{"legend", want}}));
    }

    void legendRemovals()
    {
        const QJsonObject shown{{"title", QJsonObject{}}, {"legend", QJsonObject{}}, {"series", QJsonArray{}}};
        QCOMPARE(build(&HXChartOption::buildLegend, {{"type", 1}}, shown), (QJsonObject{{"series", QJsonArray{}}}));
        QCOMPARE(build(&HXChartOption::buildTitle, {{"type", 1}}, shown), (QJsonObject{{"series", QJsonArray{}}}));
        QCOMPARE(build(&HXChartOption::buildLegend, {{kLegendKey, legendEntry("H", "C", "T", false)}}, shown),
                 (QJsonObject{{"title", QJsonObject{}}, {"series", QJsonArray{}}}));
    }

    void tooltipsAndToolboxes()
    {
        QCOMPARE(build(&HXChartOption::buildToolTip, {}, {}), QJsonObject());
        QCOMPARE(build(&HXChartOption::buildToolBox, {}, {}), QJsonObject());
        // Type, tooltip trigger and formatter, data view content.
        const QList<QStringList> cases{{"1", "axis", "tooltipFormatter", "dataViewLine"}, {"3", "item", "tooltipFormatter", "dataViewPie"},
                                       {"5", "item", "tooltipFormatter", "dataViewMap"}, {"7", "axis", "tooltipFormatter", "dataViewLine"},
                                       {"11", "axis", "sectionFormatter", "dataViewLine"}};
        for (const QStringList &c : cases) {
            const QVariantMap cfg{{"type", c[0].toInt()}};
            QCOMPARE(build(&HXChartOption::buildToolTip, cfg, {}).value("tooltip").toObject(),
                     parse(QString(R"({"trigger": "%1", "confine": true, "formatter": "method=%2"})").arg(c[1], c[2])));
            QCOMPARE(build(&HXChartOption::buildToolBox, cfg, {}).value("toolbox").toObject(),
                     parse(QString(R"({"show": false, "top": -5, "feature": {"dataView": {"readOnly": true, "optionToContent": "method=%1"},
                                       "saveAsImage": {}, "myPopup": {}}})").arg(c[3])));
        }
    }

    void grids()
    {
        auto gridFor = [](int type, const QVariantMap &legend, const QJsonObject &ds) {
            QJsonObject option = withDataset(ds);
            const QVariantMap cfg{{"type", type}, {kLegendKey, legend}};
            HXChartOption::buildSeries(cfg, option);
            HXChartOption::buildLegend(cfg, option);
            HXChartOption::buildGrid(cfg, option);
            return option;
        };
        auto grid = [](int top, int right, int left, int bottom) {
            return QJsonObject{{"top", top}, {"right", right}, {"left", left}, {"bottom", bottom}, {"containLabel", true}};
        };
        const QJsonObject ds = dataset({"短", "一个很长的系列名称"});
        const int w = QFontMetrics(QFont()).horizontalAdvance("一个很长的系列名称");
        QVERIFY(w > 0);
        // Axis charts make room for the legend beside or above the plot.
        const QList<QPair<QVariantMap, QJsonObject>> axisCases{
            {legendEntry("V", "L", "T"), grid(35, 50, w + 15, 5)}, {legendEntry("V", "R", "T"), grid(35, w + 15, 20, 5)},
            {legendEntry("V", "C", "T"), grid(35, 50, 20, 5)},     {legendEntry("H", "C", "B"), grid(35, 50, 20, 35)},
            {legendEntry("H", "C", "T"), grid(60, 50, 20, 10)},    {legendEntry("H", "C", "C"), grid(35, 50, 20, 10)}};
        for (const auto &c : axisCases)
            QCOMPARE(gridFor(1, c.first, ds).value("grid").toObject(), c.second);
        QCOMPARE(gridFor(1, legendEntry("V", "L", "T"), dataset({})).value("grid").toObject(), grid(35, 50, 20, 5));

        // Pies move away from the legend instead.
        const QList<QPair<QVariantMap, QJsonArray>> pieCases{{legendEntry("V", "L", "T"), {"60%", "50%"}}, {legendEntry("V", "R", "T"), {"40%", "50%"}},
                                                             {legendEntry("H", "C", "B"), {"50%", "40%"}}, {legendEntry("H", "C", "T"), {"50%", "60%"}}};
        for (const auto &c : pieCases) {
            const QJsonObject option = gridFor(3, c.first, ds);
            QCOMPARE(option.value("series").toArray()[0].toObject().value("center").toArray(), c.second);
            QVERIFY(!option.contains("grid"));
        }
        QCOMPARE(gridFor(3, legendEntry("H", "C", "C"), ds).value("grid").toObject(), grid(35, 50, 20, 5));

        // Nothing without a legend or a dataset.
        QJsonObject noLegend = withDataset(ds);
        HXChartOption::buildGrid({{"type", 1}}, noLegend);
        QVERIFY(!noLegend.contains("grid"));
    }

    void transposedDatasetKeepsMissingCells()
    {
        const QJsonObject ds = parse(R"({"dimensions": ["header", "甲", "乙"], "source": [
            {"header": "2024-01-01", "甲": 1}, {"header": "2024-01-02", "甲": 2, "乙": 3}]})");
        QCOMPARE(HXChartOption::transposedDataset(ds), parse(R"({"dimensions": ["header", "2024-01-01", "2024-01-02"], "source": [
            {"header": "甲", "2024-01-01": 1, "2024-01-02": 2}, {"header": "乙", "2024-01-01": null, "2024-01-02": 3}]})"));
        QCOMPARE(HXChartOption::transposedDataset({}), parse(R"({"dimensions": ["header"], "source": []})"));
    }

    void makeOptionRunsTheFullListInOrder()
    {
        CPIndexChartInfo info;
        info.fillDefaults();
        const QJsonObject current{{"dataset", QJsonArray{dataset({"甲", "乙"})}}, {"series", QJsonArray{QJsonObject{}}}, {"color", "#000"}};
        const QVariantMap cfg{{"type", 1}, {kLegendKey, legendEntry("H", "C", "B")}, {"units", QVariantMap{}}};
        const QJsonObject option = HXChartOption::makeOption(ChartTypeInfo::fromType(1), info.fullLists, cfg, nullptr, current);
        // Only the dataset is carried over; the rest is built anew.
        QCOMPARE(option.keys(), (QStringList{"dataset", "grid", "legend", "series", "toolbox", "tooltip", "xAxis", "yAxis"}));
        QCOMPARE(option.value("series").toArray().size(), 2);
        QCOMPARE(option.value("grid").toObject().value("bottom").toInt(), 35);

        // Unknown class names are skipped; a type without a list builds nothing.
        QMap<int, QStringList> lists{{1, {"NoSuchCfgWidget", "HXToolTipCfgWidget"}}};
        QCOMPARE(HXChartOption::makeOption(ChartTypeInfo::fromType(1), lists, cfg, nullptr, current).keys(),
                 (QStringList{"dataset", "tooltip"}));
        QCOMPARE(HXChartOption::makeOption(ChartTypeInfo::fromType(5), lists, cfg, nullptr, current).keys(), QStringList{"dataset"});

        // The grid reads the legend, so it must come after the legend builder.
        lists = {{1, {"HXGridCfgWidget", "HXLegendCfgWidget"}}};
        QVERIFY(!HXChartOption::makeOption(ChartTypeInfo::fromType(1), lists, cfg, nullptr, current).contains("grid"));

    }

    // Every chart type with its default full list, written out for the
    // rendering check.
    void optionsForEveryChartType()
    {
        CPIndexChartInfo info;
        info.fillDefaults();
        QMap<int, QStringList> lists = info.fullLists;
        lists.insert(5, {"HXSeriesOptionCfgWidget", "HXMapCfgWidget", "HXToolTipCfgWidget", "HXToolBoxCfgWidget", "HXGridCfgWidget"});
        lists.insert(10, CPIndexChartInfo::defaultFullList(10));
        const QVariantMap units{{"螺纹钢", "元/吨"}, {"热轧板卷", "元/吨"}, {"铁矿石", "美元/吨"}, {"甲", "元/吨"}, {"乙", "万吨"}};
        auto write = [&](const QString &name, int type, const QVariantMap &legend, const QJsonObject &ds, bool transposed = false) {
            const QVariantMap cfg{{"type", type}, {kLegendKey, legend}, {kAxisKey, QVariantMap{{"isShowUnit", true}}}, {"units", units},
                                  {kSeriesKey, QVariantMap{{"transposed", transposed}}}};
            const QJsonObject option = HXChartOption::makeOption(ChartTypeInfo::fromType(type), lists, cfg, nullptr, withDataset(ds));
            QVERIFY2(!option.value("series").toArray().isEmpty(), qPrintable(name));
            writeOption(name, option);
        };
        const QJsonObject metals = dataset({"螺纹钢", "热轧板卷", "铁矿石"}, 30);
        for (int type = 1; type <= 11; ++type)
            write(QStringLiteral("type%1").arg(type, 2, 10, QLatin1Char('0')), type, legendEntry("H", "C", "T"),
                  type == 5 ? areasDataset() : metals, type == 3);
        // And the edge cases above: two axes, a vertical legend, an untransposed pie, an empty map.
        write("twoaxes", 1, legendEntry("V", "L", "C"), dataset({"甲", "乙"}, 12));
        write("pieplain", 3, legendEntry("V", "L", "C"), dataset({"甲", "乙"}, 6));
        write("mapempty", 5, legendEntry("V", "L", "C"), QJsonObject{{"dimensions", QJsonArray{"header", "value"}}, {"source", QJsonArray{}}});
    }
};

QTEST_MAIN(TstOptionBuilder)
#include "tst_optionbuilder.moc"
