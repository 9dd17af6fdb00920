// Chart components against a real server: loading in the normal and the
// seasonal form, the column filter, the map, failures, answers that arrive
// out of order, save and restore, and the registration of chart views with
// their split view.
#include "modalhelper.h"
#include "serverfixture.h"

#include "charts/cpindexchartcomponent.h"
#include "charts/cpindexchartview.h"
#include "charts/hxoptionfilterbasewidget.h"
#include "hxecharts/hxechartsview.h"
#include "pagelayout/cpsplitview.h"
#include "wk/wkcfg.h"


#include <memory>

using namespace HXCPControls;

namespace {

constexpr qint64 kMapBase = 2002000000000LL;

QVariantMap entry(int n, const QString &name, const QString &unit, int frequency = 365, bool season = false)
{
    QVariantMap e{{"IDX_ID", kIndexBase + n}, {"INDEX_NAME", name}, {"UNIT_NAME", unit}, {"FREQUENCY_CODE", frequency}, {"FREQUENCY_NAME", "日"}};
    if (season)
        e.insert("isSeason", true);
    return e;
}

QVariantMap legend()
{
    return {{"showLegend", true}, {"legendPosition", "H"}, {"legendHPosition", "C"}, {"legendVPosition", "T"}};
}

QVariantMap chartState(int type, const QVariantList &indexes, const QVariantMap &extra = {})
{
    QVariantMap option{{"type", type}, {"HXCPControls::HXLegendCfgWidget", legend()}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        option.insert(it.key(), it.value());
    return {{"version", "v2"}, {"isShowTitle", true}, {"title", "测试图"}, {"isSeasonForm", false}, {"indexes", indexes},
            {"optionCfg", option}, {"seasonOptionCfg", QVariantMap()},
            {"query", QVariantMap{{"isLatestDate", true}, {"date", "1"}, {"unit", 2}}}};
}

QJsonObject firstDataset(const QJsonObject &option)
{
    return option.value("dataset").toArray().first().toObject();
}

} // namespace

class TstChartComponents : public QObject
{
    Q_OBJECT

    DatasourceFixture m_ds;

    // Restores `state` and waits for the drawn option.
    bool restoreAndWait(CPIndexChartComponent &component, const QVariantMap &state)
    {
        QSignalSpy updated(component.chartView(), &CPIndexChartView::chartUpdated);
        component.restore(state);
        return updated.count() > 0 || updated.wait(15000);
    }

    void useMapFile(const QByteArray *content)
    {
        const QString dir = WKCfg::instance()->stdPath("wkdata") + "/map";
        QDir().mkpath(dir);
        QFile::remove(dir + "/china-compress.json");
        if (content) {
            QFile f(dir + "/china-compress.json");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(*content);
        }
    }

public:
    // The chart's web view shares its OpenGL context with the widgets.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private slots:
    void initTestCase() { m_ds.setUp(); }

    void saveAndRestoreDefaults()
    {
        CPIndexChartComponent component;
        component.restore({{"indexes", QVariantList{}}});
        const CPIndexChartConfig config = component.config();
        QCOMPARE(config.query, (QVariantMap{{"isLatestDate", true}, {"date", "2"}, {"unit", 1}}));
        const QString year = QString::number(QDate::currentDate().year());
        QCOMPARE(config.seasonQuery, (QVariantMap{{"seasonStart", QString::number(year.toInt() - 4)}, {"seasonEnd", year}}));
        // Nothing to draw: no query, no option.
        QVERIFY(component.chartView()->lastOption().isEmpty());

        // Empty queries are not stored.
        QCOMPARE(CPIndexChartConfig().toMap().keys(),
                 (QStringList{"indexes", "isSeasonForm", "isShowTitle", "optionCfg", "seasonOptionCfg", "title", "version"}));

        // Garbage of every kind is ignored, not crashed on.
        component.restore({{"indexes", "x"}, {"optionCfg", 5}, {"query", QVariantList{1}}, {"isShowTitle", "yes"}});
        component.restore({{"indexes", QVariantList{1, "a", QVariantMap{}}}, {"optionCfg", QVariantMap{{"type", "pie"}}}});
        QVERIFY(component.chartView()->lastOption().isEmpty());
    }

    void loadPlans()
    {
        CPIndexChartInfo info;
        CPIndexChartConfig config;
        QVariantMap hidden = entry(2, "乙", "元/吨", 365, true);
        hidden.insert("unchecked", true);
        const QVariantMap cal{{"INDEX_NAME", "差"}, {"UNIT_NAME", "元/吨"}, {"isCal", true}, {"idxIdExpression", "a-b"},
                              {"identifierMap", QVariantMap{{"a", QVariantMap{{"IDX_ID", kIndexBase + 1}}},
                                                            {"b", QVariantMap{{"IDX_ID", kIndexBase + 5}}}}}};
        config.indexes = {entry(1, "甲", "元/吨"), hidden, entry(3, "丙", "万吨", 12, true), cal};
        CPIndexChartView::LoadPlan plan = CPIndexChartView::loadPlan(info, config);
        QCOMPARE(plan.ids, (QList<qlonglong>{kIndexBase + 1, kIndexBase + 3, kIndexBase + 5}));
        QCOMPARE(plan.dimensions.size(), 3);
        QCOMPARE(plan.dimensions[2].name, QString("差"));
        QVERIFY(plan.calIndexes.contains("差"));
        QCOMPARE(plan.units, (QVariantMap{{"甲", "元/吨"}, {"丙", "万吨"}, {"差", "元/吨"}}));

        // Seasonal: only the first entry marked, unchecked or not.
        config.isSeasonForm = true;
        config.seasonQuery = {{"seasonStart", "2020"}, {"seasonEnd", "2022"}};
        plan = CPIndexChartView::loadPlan(info, config);
        QCOMPARE(plan.ids, QList<qlonglong>{kIndexBase + 2});
        QCOMPARE(plan.seasonFrequency, 365);
        QCOMPARE(plan.units, (QVariantMap{{"乙", "元/吨"}}));
        QCOMPARE(plan.dimensions.size(), 3);
        QCOMPARE(plan.dimensions[0].name, QString("2020年"));
    }

    void lineChartFromServerAndSplitViewRegistration()
    {
        auto splitView = std::make_unique<CPSplitView>();
        auto *component = new CPIndexChartComponent(splitView.get());
        HXEcharts::HXEChartsView *charts = component->chartView()->chartsView();
        QVERIFY(splitView->chartViews().contains(charts));

        splitView->resize(800, 500);
        component->resize(800, 500);
        splitView->show();
        QVERIFY(restoreAndWait(*component, chartState(1, {entry(1, "螺纹钢:上海", "元/吨"), entry(8, "螺纹钢:社会库存", "万吨", 7)},
                                                      {{"HXCPControls::HXXYDataCfgWidget", QVariantMap{{"isShowUnit", true}}}})));
        const QJsonObject option = component->chartView()->lastOption();
        const QJsonObject ds = firstDataset(option);
        QCOMPARE(ds.value("dimensions").toArray(), (QJsonArray{"header", "螺纹钢:上海", "螺纹钢:社会库存"}));
        // One month of daily values.
        QVERIFY(ds.value("source").toArray().size() >= 28 && ds.value("source").toArray().size() <= 32);
        // The units of the indices from the server reach the builders: a second axis named after the stock's.
        QCOMPARE(option.value("yAxis").toArray()[1].toObject().value("name").toString(), QString("万吨"));
        QCOMPARE(charts->lastOption(), option);

        // The view draws it.
        QTRY_VERIFY_WITH_TIMEOUT(charts->isChartReady(), 30000);

        delete component;
        QVERIFY(splitView->chartViews().isEmpty());
    }

    void pieFilterAndTypeSwitch()
    {
        CPIndexChartComponent component;
        const QVariantList indexes{entry(11, "铁矿石", "元/湿吨"), entry(14, "焦炭", "元/吨"), entry(15, "焦煤", "元/吨")};
        QVERIFY(restoreAndWait(component, chartState(3, indexes, {{"HXCPControls::HXSeriesOptionCfgWidget", QVariantMap{{"transposed", true}}}})));
        CPIndexChartView *view = component.chartView();
        HXPieChartFilterWidget *filter = view->filterWidget();
        const QJsonObject option = view->lastOption();
        const QJsonArray transposed = option.value("dataset").toArray()[1].toObject().value("source").toArray();
        QCOMPARE(transposed.size(), 3); // one slice per series
        const QStringList dates = filter->choices();
        QVERIFY(dates.size() >= 28);
        QCOMPARE(dates.first(), firstDataset(option).value("source").toArray().first().toObject().value("header").toString());

        // Choosing another date redraws that column without rebuilding.
        filter->setCurrentChoice(dates.last());
        const QJsonObject shown = view->chartsView()->lastOption();
        QCOMPARE(shown.value("series").toArray()[0].toObject().value("encode").toObject().value("value").toString(), dates.last());
        QCOMPARE(view->lastOption(), option);

        // Line: no filter; section: a filter again.
        QVERIFY(restoreAndWait(component, chartState(1, indexes)));
        QVERIFY(!view->filterWidget() && !view->findChild<HXPieChartFilterWidget *>());
        QVERIFY(restoreAndWait(component, chartState(11, indexes)));
        QVERIFY(view->filterWidget());
    }

    void seasonalForm()
    {
        CPMarcoIndustryChartComponent component;
        QVariantMap state = chartState(1, {entry(34, "粗钢产量", "万吨", 12, true), entry(35, "生铁产量", "万吨", 12, true)});
        state.insert("isSeasonForm", true);
        state.insert("seasonOptionCfg", QVariantMap{{"type", 1}, {"HXCPControls::HXLegendCfgWidget", legend()}});
        state.remove("query");
        QVERIFY(restoreAndWait(component, state));
        const QJsonObject ds = firstDataset(component.chartView()->lastOption());
        const int year = QDate::currentDate().year();
        QCOMPARE(ds.value("dimensions").toArray().size(), 6);
        QCOMPARE(ds.value("dimensions").toArray()[5].toString(), QString("%1年").arg(year));
        const QJsonArray rows = ds.value("source").toArray();
        QCOMPARE(rows.size(), 12);
        // Every month of the past years has the index's value.
        QVERIFY(rows[5].toObject().value(QString("%1年").arg(year - 1)).isDouble());
        QCOMPARE(component.chartView()->config().seasonQuery.value("frequency").toInt(), 12);
    }

    void mapFile()
    {
        QFile real(QStringLiteral(ZHP_CHINA_MAP_FILE));
        QVERIFY(real.open(QIODevice::ReadOnly));
        const QByteArray map = real.readAll();

        const QByteArray broken("{\"type\": ");
        useMapFile(&broken);
        ZhpTest::expectMessage(QtCriticalMsg, QRegularExpression("^fromJson failed: .+"));
        QVERIFY(CPIndexMapChartComponent::getGeoJson().isEmpty());
        const QByteArray array("[1, 2]");
        useMapFile(&array);
        QVERIFY(CPIndexMapChartComponent::getGeoJson().isEmpty());

        // Without a map file the component logs it and still works.
        useMapFile(nullptr);
        ZhpTest::expectMessage(QtCriticalMsg, QString("china.json 文件无法打开"));
        CPIndexMapChartComponent missing;
        QCOMPARE(missing.info().geoJson.first().toObject().value("key").toString(), QString("CN"));
        QVERIFY(missing.info().geoJson.first().toObject().value("value").toObject().isEmpty());

        useMapFile(&map);
        CPIndexMapChartComponent component;
        QVERIFY(component.chartView()->chartsView()->geoMapKeys().contains("CN"));
        QVariantList areas;
        // The seeded map indices are numbered by province: 1 北京, 9 上海, 19 广东.
        for (const auto &[name, n] : {std::pair<QString, int>{"北京", 1}, {"上海", 9}, {"广东", 19}})
            areas.append(QVariantMap{{"IDX_ID", kMapBase + n}, {"INDEX_NAME", QString("螺纹钢:均价:" + name)}, {"AREA_NAME", name}, {"UNIT_NAME", "元/吨"}});
        QVariantMap state = chartState(5, areas, {{"HXCPControls::HXMapCfgWidget", QVariantMap{{"isCustomColor", false}}}});
        QVERIFY(restoreAndWait(component, state));
        const QJsonObject option = component.chartView()->lastOption();
        const QJsonArray source = firstDataset(option).value("source").toArray();
        QCOMPARE(source.size(), 3);
        QStringList names;
        for (const QJsonValue &row : source) {
            names << row.toObject().value("header").toString();
            QVERIFY(row.toObject().value("value").toDouble() > 1000);
        }
        names.sort();
        QCOMPARE(names, (QStringList{"上海", "北京", "广东"}));
    }

    // The server goes away: the failure is logged, announced and shown, and
    // the last chart stays. (A refusal takes the same way: the settings
    // panel's test shows one.)
    void failedQueryKeepsTheLastChart()
    {
        CPIndexChartComponent component;
        const QVariantMap state = chartState(2, {entry(1, "螺纹钢:上海", "元/吨")});
        QVERIFY(restoreAndWait(component, state));
        const QJsonObject before = component.chartView()->lastOption();
        QVERIFY(!before.isEmpty());

        const QUrl server = ServerTest::endpoint("/");
        ServerTest::useServer("http://127.0.0.1:1/");
        MessageBoxCatcher box;
        box.arm();
        QSignalSpy failed(component.chartView(), &CPIndexChartView::loadFailed);
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^chart query failed: "));
        component.restore(state);
        QVERIFY(failed.wait(15000));
        ServerTest::useServer(server.toString());
        QTRY_VERIFY(box.seen);
        QCOMPARE(box.title + '|' + box.text + '|' + failed.first().first().toString(), QString("错误|指标加载失败|指标加载失败"));
        QCOMPARE(component.chartView()->lastOption(), before);
        QCOMPARE(component.chartView()->chartsView()->lastOption(), before);
    }

    // A view shows the answer to its latest configuration only, whatever order the answers arrive in.
    void latestConfigurationWins()
    {
        m_ds.clear();
        CPIndexChartInfo info;
        info.fillDefaults();
        CPIndexChartView view(nullptr, info);
        QSignalSpy updated(&view, &CPIndexChartView::chartUpdated);
        auto chartOf = [](int n, const QString &name) {
            return CPIndexChartConfig::fromMap({{"indexes", QVariantList{entry(n, name, "元/吨")}}, {"optionCfg", QVariantMap{{"type", 1}}}});
        };
        auto dimensions = [&view] { return firstDataset(view.lastOption()).value("dimensions").toArray(); };

        m_ds.holdNext(info.dataObjName);
        view.setConfig(chartOf(1, "上海"));
        QTRY_COMPARE(m_ds.requestsTo(info.dataObjName).size(), 1);
        view.setConfig(chartOf(2, "北京"));
        QTRY_COMPARE(updated.count(), 1);
        QCOMPARE(dimensions(), (QJsonArray{"header", "北京"}));

        m_ds.release();
        QTRY_VERIFY(m_ds.heldAnswered());
        QTest::qWait(300); // time for the stale answer to arrive
        QCOMPARE(updated.count(), 1);
        QCOMPARE(dimensions(), (QJsonArray{"header", "北京"}));
    }
};

QTEST_MAIN(TstChartComponents)

#include "tst_chartcomponents.moc"
