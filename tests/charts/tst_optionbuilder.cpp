// The options of the charts: the whole option of every chart type from its
// full list, the legend and title, the grid, the pie and map builders, the
// column filter and the run order; and the option item widgets, which, edited
// as a user would, write exactly the entries the builders read, and write
// back unchanged what they were filled from. Every option built for a chart
// type is also written out for the ECharts rendering check.
#include "zhpctlrun.h"
#include "zhptest.h"

#include "charts/config/hxoptionitemcfgwidgets.h"
#include "charts/cpindexchartinfo.h"
#include "charts/hxchartoption.h"
#include "charts/hxoptionfilterbasewidget.h"
#include "charts/hxoptionitemregistry.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

using namespace HXCPControls;

namespace {

const QString kSeriesKey = "HXCPControls::HXSeriesOptionCfgWidget";
const QString kLegendKey = "HXCPControls::HXLegendCfgWidget";
const QString kAxisKey = "HXCPControls::HXXYDataCfgWidget";
const QString kTitleKey = "HXCPControls::HXTitleOptionWidget";

QJsonObject dataset(const QStringList &series, int dates = 2)
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
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(json.toUtf8(), &error).object();
    if (error.error != QJsonParseError::NoError)
        qFatal("bad expected option: %s in %s", qPrintable(error.errorString()), qPrintable(json));
    return object;
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

std::unique_ptr<HXOptionItemCfgBaseWidget> create(const QString &className)
{
    return std::unique_ptr<HXOptionItemCfgBaseWidget>(
        qobject_cast<HXOptionItemCfgBaseWidget *>(HXOptionItemRegistry::instance()->create(className.toLatin1(), nullptr)));
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

    // The option of every chart type from its default full list (the map and
    // the K-line have none: here the map gets its own), against the options
    // of the data folder; each is also written out for the rendering check,
    // under the first word of its name.
    void optionOfEveryChart_data()
    {
        QTest::addColumn<QJsonObject>("chart");
        QFile file(QStringLiteral(CHART_DATA_DIR "/options.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QJsonValue &chart : QJsonDocument::fromJson(file.readAll()).array())
            QTest::newRow(qPrintable(chart["name"].toString())) << chart.toObject();
    }

    void optionOfEveryChart()
    {
        QFETCH(QJsonObject, chart);
        CPIndexChartInfo info;
        info.fillDefaults();
        QMap<int, QStringList> lists = info.fullLists;
        lists.insert(5, {"HXSeriesOptionCfgWidget", "HXMapCfgWidget", "HXToolTipCfgWidget", "HXToolBoxCfgWidget", "HXGridCfgWidget"});
        lists.insert(10, CPIndexChartInfo::defaultFullList(10));
        const QVariantMap cfg = chart["cfg"].toObject().toVariantMap();
        const QJsonObject ds = chart["dataset"].toObject();
        const QJsonObject option = HXChartOption::makeOption(ChartTypeInfo::fromType(cfg.value("type").toInt()), lists, cfg, nullptr, withDataset(ds));
        // The dataset is carried over unless said otherwise; "%W%" is the widest series name and 15.
        QJsonObject expected = chart["expected"].toObject();
        if (!expected.contains("dataset"))
            expected.insert("dataset", QJsonArray{ds});
        int widest = 0;
        for (const QJsonValue &name : ds.value("dimensions").toArray())
            widest = qMax(widest, name == "header" ? 0 : QFontMetrics(QFont()).horizontalAdvance(name.toString()));
        QJsonObject grid = expected.value("grid").toObject();
        for (const char *side : {"left", "right"}) {
            if (grid.value(side) == "%W%")
                grid.insert(side, widest + 15);
        }
        if (!grid.isEmpty())
            expected.insert("grid", grid);
        QCOMPARE(option, expected);
        writeOption(QString::fromLatin1(QTest::currentDataTag()).section(' ', 0, 0), option);
    }

    void buildersWithoutConfiguration()
    {
        QCOMPARE(build(&HXChartOption::buildAxis, {}, {}), parse(R"({"xAxis": {"type": "category", "axisLabel": {"showMaxLabel": true, "showMinLabel": true}, "boundaryGap": false},
                                                                      "yAxis": {"type": "value", "scale": true}})"));
        QCOMPARE(build(&HXChartOption::buildToolTip, {}, {}), QJsonObject());
        QCOMPARE(build(&HXChartOption::buildToolBox, {}, {}), QJsonObject());
    }

    // The legend and title builders on an option that has a title and a legend.
    void legendsAndTitles_data()
    {
        QTest::addColumn<bool>("title"); // the title builder, else the legend builder
        QTest::addColumn<QVariantMap>("cfg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no entry") << false << QVariantMap{{"type", 1}} << R"({"series": []})";
        QTest::newRow("title builder, no entry") << true << QVariantMap{{"type", 1}} << R"({"series": []})";
        QTest::newRow("hidden") << false << QVariantMap{{kLegendKey, legendEntry("H", "C", "T", false)}} << R"({"title": {}, "series": []})";
        QTest::newRow("empty positions") << false << QVariantMap{{kLegendKey, legendEntry("", "", "")}}
                                         << R"({"title": {}, "series": [], "legend": {"type": "scroll", "orient": "horizontal", "x": "center", "y": "top"}})";
        QTest::newRow("title entry stands in") << false << QVariantMap{{kTitleKey, legendEntry("V", "L", "B")}}
            << R"({"title": {}, "series": [], "legend": {"type": "scroll", "orient": "vertical", "x": "left", "y": "bottom"}})";
        QTest::newRow("title builder drops the title") << true << QVariantMap{{kTitleKey, legendEntry("V", "L", "B")}}
            << R"({"series": [], "legend": {"type": "scroll", "orient": "vertical", "x": "left", "y": "bottom"}})";
    }

    void legendsAndTitles()
    {
        QFETCH(bool, title);
        QFETCH(QVariantMap, cfg);
        QFETCH(QString, expected);
        const QJsonObject shown{{"title", QJsonObject{}}, {"legend", QJsonObject{}}, {"series", QJsonArray{}}};
        QCOMPARE(build(title ? &HXChartOption::buildTitle : &HXChartOption::buildLegend, cfg, shown), parse(expected));
    }

    // The chart table above shows the legend's room beside axes; pies move
    // away from the legend instead, and a lone category has the default grid.
    void pieGrids()
    {
        auto gridFor = [](int type, const QVariantMap &legend, const QJsonObject &ds) {
            QJsonObject option = withDataset(ds);
            const QVariantMap cfg{{"type", type}, {kLegendKey, legend}};
            HXChartOption::buildSeries(cfg, option);
            HXChartOption::buildLegend(cfg, option);
            HXChartOption::buildGrid(cfg, option);
            return option;
        };
        const QJsonObject defaultGrid{{"top", 35}, {"right", 50}, {"left", 20}, {"bottom", 5}, {"containLabel", true}};
        const QList<QPair<QVariantMap, QJsonArray>> pieCases{{legendEntry("V", "R", "T"), {"40%", "50%"}},
                                                             {legendEntry("H", "C", "B"), {"50%", "40%"}}};
        for (const auto &c : pieCases) {
            const QJsonObject option = gridFor(3, c.first, dataset({"甲", "乙"}));
            QCOMPARE(option.value("series").toArray()[0].toObject().value("center").toArray(), c.second);
            QVERIFY(!option.contains("grid"));
        }
        QCOMPARE(gridFor(3, legendEntry("H", "C", "C"), dataset({"甲", "乙"})).value("grid").toObject(), defaultGrid);
        QCOMPARE(gridFor(1, legendEntry("V", "L", "T"), dataset({})).value("grid").toObject(), defaultGrid);
    }

    void pieAndMapBuilders()
    {
        // Run twice, the pie builder replaces the transposed dataset instead of adding another; it drops the axes.
        QJsonObject pie = withDataset(dataset({"甲", "乙"}));
        pie.insert("xAxis", QJsonObject{});
        pie.insert("yAxis", QJsonObject{});
        const QVariantMap pieCfg{{"type", 3}, {"HXCPControls::HXPieOptionCfgWidget", QVariantMap{{"transposed", true}}}};
        HXChartOption::buildPie(pieCfg, pie);
        HXChartOption::buildPie(pieCfg, pie);
        QCOMPARE(pie, parse(QString(R"({"dataset": [%1, {"dimensions": ["header", "2024-01-01", "2024-01-02"], "source": [
            {"header": "甲", "2024-01-01": 100, "2024-01-02": 101}, {"header": "乙", "2024-01-01": 200, "2024-01-02": 201}]}],
            "series": [{"type": "pie", "datasetIndex": 1, "encode": {"itemName": "header", "value": "2024-01-01"}}]})")
                                .arg(QString::fromUtf8(QJsonDocument(dataset({"甲", "乙"})).toJson()))));

        // Areas without a value do not stretch the range; custom colours.
        const QVariantMap custom{{"isCustomColor", true}, {"color1", "#111111"}, {"color2", "#222222"}, {"color3", "#333333"}};
        const QJsonObject option = build(&HXChartOption::buildMap, {{"type", 5}, {"HXCPControls::HXMapCfgWidget", custom}},
                                         withDataset(parse(R"({"dimensions": ["header", "value"], "source": [{"header": "广东", "value": 4000},
                                             {"header": "西藏", "value": null}, {"header": "北京", "value": 3800}, {"header": "上海", "value": 3900}]})")));
        QCOMPARE(option.value("visualMap").toObject(), parse(R"({"min": 3800, "max": 4000, "realtime": false, "calculable": true,
            "text": ["高", "低"], "inRange": {"color": ["#111111", "#222222", "#333333"]}})"));
    }

    // The column picker lists the dates and points the section's bars at the
    // chosen one (the chart components' test shows it on a pie).
    void filterPicksTheColumn()
    {
        QJsonObject option = withDataset(dataset({"甲", "乙", "丙"}, 3));
        HXChartOption::buildSeries({{"type", 11}}, option);
        HXPieChartFilterWidget filter;
        QSignalSpy changed(&filter, &HXOptionFilterBaseWidget::configChanged);
        filter.apply(option);
        QCOMPARE(filter.choices(), (QStringList{"2024-01-01", "2024-01-02", "2024-01-03"}));
        QCOMPARE(changed.count(), 0);
        filter.setCurrentChoice("2024-01-03");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(filter.filter(option).value("series").toArray()[0].toObject().value("encode").toObject().value("y").toString(),
                 QString("2024-01-03"));
    }

    void transposedDatasetKeepsMissingCells()
    {
        const QJsonObject ds = parse(R"({"dimensions": ["header", "甲", "乙"], "source": [
            {"header": "2024-01-01", "甲": 1}, {"header": "2024-01-02", "甲": 2, "乙": 3}]})");
        QCOMPARE(HXChartOption::transposedDataset(ds), parse(R"({"dimensions": ["header", "2024-01-01", "2024-01-02"], "source": [
            {"header": "甲", "2024-01-01": 1, "2024-01-02": 2}, {"header": "乙", "2024-01-01": null, "2024-01-02": 3}]})"));
        QCOMPARE(HXChartOption::transposedDataset({}), parse(R"({"dimensions": ["header"], "source": []})"));
    }

    void makeOptionRunsTheListInOrder()
    {
        // Only the dataset of the current option is carried over; unknown class
        // names are skipped; a type without a list builds nothing.
        const QJsonObject current{{"dataset", QJsonArray{dataset({"甲", "乙"})}}, {"series", QJsonArray{QJsonObject{}}}, {"color", "#000"}};
        const QVariantMap cfg{{"type", 1}, {kLegendKey, legendEntry("H", "C", "B")}};
        QMap<int, QStringList> lists{{1, {"NoSuchCfgWidget", "HXToolTipCfgWidget"}}};
        QCOMPARE(HXChartOption::makeOption(ChartTypeInfo::fromType(1), lists, cfg, nullptr, current).keys(),
                 (QStringList{"dataset", "tooltip"}));
        QCOMPARE(HXChartOption::makeOption(ChartTypeInfo::fromType(5), lists, cfg, nullptr, current).keys(), QStringList{"dataset"});

        // The grid reads the legend, so it must come after the legend builder.
        lists = {{1, {"HXGridCfgWidget", "HXLegendCfgWidget"}}};
        QVERIFY(!HXChartOption::makeOption(ChartTypeInfo::fromType(1), lists, cfg, nullptr, current).contains("grid"));
    }

    void widgetsAndBuildersComeInPairs()
    {
        HXOptionItemRegistry *registry = HXOptionItemRegistry::instance();
        QList<QByteArray> factories = registry->factoryNames();
        QList<QByteArray> builders = registry->builderNames();
        std::sort(factories.begin(), factories.end());
        std::sort(builders.begin(), builders.end());
        QCOMPARE(factories, builders);
        for (const QByteArray &name : factories) {
            const auto widget = create(QString::fromLatin1(name));
            QVERIFY2(widget, name.constData());
            QCOMPARE(widget->entryKey(), "HXCPControls::" + QString::fromLatin1(name));
        }
        QVERIFY(!registry->create("NoSuchCfgWidget", nullptr));
    }

    // The cases of the data folder: a widget, the chart type, further entries
    // of the configuration, the edits (object names clicked, or "name=text"
    // typed; "甲/..." in the row of series 甲) and the entry it writes.
    void editsWriteTheirEntry_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QJsonObject>("entry");
        QFile file(QStringLiteral(CHART_DATA_DIR "/widgets.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QJsonValue &c : QJsonDocument::fromJson(file.readAll()).array())
            QTest::newRow(qPrintable(c["name"].toString())) << c["widget"].toString() << c["type"].toInt() << c["stored"].toObject().toVariantMap()
                                                            << c["edits"].toVariant().toStringList() << c["entry"].toObject();
    }

    void editsWriteTheirEntry()
    {
        QFETCH(QString, className);
        QFETCH(int, type);
        QFETCH(QVariantMap, stored);
        QFETCH(QStringList, edits);
        QFETCH(QJsonObject, entry);

        QVariantMap cfg = stored;
        cfg.insert("type", type);
        const QJsonObject shown{{"dataset", QJsonArray{type == 5 ? areasDataset() : dataset({"甲", "乙"})}}};
        const auto widget = create(className);
        QVERIFY(widget);
        QSignalSpy changed(widget.get(), &HXOptionItemCfgBaseWidget::configChanged);
        widget->setConfig(cfg, shown);
        QCOMPARE(changed.count(), 0);

        for (const QString &edit : edits) {
            QWidget *scope = widget.get();
            QString name = edit.section('=', 0, 0);
            if (name.contains('/')) {
                auto *series = qobject_cast<HXSeriesOptionCfgWidget *>(widget.get());
                for (HXSeriesItemWidget *item : series->seriesWidgets())
                    scope = item->seriesName() == name.section('/', 0, 0) ? item : scope;
                QVERIFY(scope != widget.get());
                name = name.section('/', 1);
            }
            const int before = changed.count();
            if (auto *button = scope->findChild<QAbstractButton *>(name)) {
                QVERIFY2(button->isVisibleTo(widget.get()), qPrintable(name));
                // On the indicator: the form is not laid out on screen.
                QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(qMin(8, button->width() / 2), button->height() / 2));
            } else if (auto *line = scope->findChild<QLineEdit *>(name)) {
                line->setText(edit.section('=', 1));
            } else {
                QFAIL(qPrintable("no control " + name));
            }
            QVERIFY2(changed.count() > before || edit == "甲/areaBtn", qPrintable(edit)); // a second click on a chosen type changes nothing
        }
        if (auto *series = qobject_cast<HXSeriesOptionCfgWidget *>(widget.get()); series && type == 1)
            series->seriesWidgets().at(1)->setColor(QColor("#123456"));

        widget->writeConfig(cfg);
        QCOMPARE(QJsonObject::fromVariantMap(cfg.value(widget->entryKey()).toMap()), entry);
        QCOMPARE(cfg.keys().size(), stored.size() + 2); // "type" and its own entry, nothing else

        // A widget filled from the written entry writes it back unchanged.
        const auto again = create(className);
        again->setConfig(cfg, shown);
        QVariantMap rewritten = cfg;
        again->writeConfig(rewritten);
        QCOMPARE(rewritten, cfg);
    }

    void seriesFollowTheChartAndKeepHiddenSeries()
    {
        // A series left at "默认" takes the chart's type; settings of a series
        // that is not shown now are kept.
        const QVariantMap hidden{{"nickName", "丙"}, {"type", 2}, {"color", "#00ff00"}, {"yAxisIndex", 0}};
        QVariantMap cfg{{"type", 7}, {"HXCPControls::HXSeriesOptionCfgWidget", QVariantMap{{"丙", hidden}}}};
        const auto widget = create("HXSeriesOptionCfgWidget");
        widget->setConfig(cfg, {{"dataset", QJsonArray{dataset({"甲", "乙"})}}});
        // Stacked bars draw every series alike: the rows cannot be changed.
        QVERIFY(!qobject_cast<HXSeriesOptionCfgWidget *>(widget.get())->seriesWidgets().first()->isEnabled());
        widget->writeConfig(cfg);
        QCOMPARE(cfg.value("HXCPControls::HXSeriesOptionCfgWidget").toMap().value("丙").toMap(), hidden);
    }

    void zhpctlBuildsWhatTheWidgetsWrite()
    {
        // Every widget of the line chart's short list writes its defaults; the
        // command-line tool builds the same option from that configuration.
        CPIndexChartInfo info;
        info.fillDefaults();
        QVariantMap cfg{{"type", 1}, {"units", QVariantMap{{"甲", "元/吨"}, {"乙", "万吨"}}}};
        const QJsonObject shown{{"dataset", QJsonArray{dataset({"甲", "乙"})}}};
        for (const QString &name : info.shortLists.value(1) + QStringList{"HXTitleOptionWidget", "HXUnitCfgWidget"}) {
            const auto widget = create(name);
            widget->setConfig(cfg, shown);
            widget->writeConfig(cfg);
        }
        QJsonObject expected = HXChartOption::makeOption(ChartTypeInfo::fromType(1), info.fullLists, cfg, nullptr, shown);
        HXChartOption::applyPalette(expected);

        QTemporaryDir dir;
        QFile cfgFile(dir.filePath("cfg.json")), datasetFile(dir.filePath("dataset.json"));
        QVERIFY(cfgFile.open(QIODevice::WriteOnly) && datasetFile.open(QIODevice::WriteOnly));
        cfgFile.write(QJsonDocument(QJsonObject::fromVariantMap(cfg)).toJson());
        datasetFile.write(QJsonDocument(dataset({"甲", "乙"})).toJson());
        cfgFile.close();
        datasetFile.close();
        const ZhpctlRun run = runZhpctl({"option", "--type", "1", "--cfg", cfgFile.fileName(), "--dataset", datasetFile.fileName()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json(), expected);
    }
};

QTEST_MAIN(TstOptionBuilder)
#include "tst_optionbuilder.moc"
