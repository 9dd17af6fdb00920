// The option item widgets: each one, made through the option item registry,
// filled, edited as a user would, writes exactly its entry; the entry fed
// through the builder registered beside it gives the option keys that the
// builders give; filling from a written entry writes it back unchanged.
#include "zhpctlrun.h"
#include "zhptest.h"

#include "charts/config/hxoptionitemcfgwidgets.h"
#include "charts/cpindexchartinfo.h"
#include "charts/hxchartoption.h"
#include "charts/hxoptionitemregistry.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

using namespace HXCPControls;

namespace {

QJsonObject parse(const QString &json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json.toUtf8());
    if (doc.isNull())
        qFatal("bad JSON in test table: %s", qPrintable(json));
    return doc.object();
}

QJsonObject dataset()
{
    return parse(R"({"dimensions": ["header", "甲", "乙"], "source": [ {"header": "2024-01-01", "甲": 1, "乙": 10}, {"header": "2024-01-02", "甲": 2, "乙": 20}]})");
}

QJsonObject areas()
{
    return parse(R"({"dimensions": ["header", "value"], "source": [{"header": "北京", "value": 3800}, {"header": "上海", "value": 3900}]})");
}

std::unique_ptr<HXOptionItemCfgBaseWidget> create(const QString &className)
{
    return std::unique_ptr<HXOptionItemCfgBaseWidget>(
        qobject_cast<HXOptionItemCfgBaseWidget *>(HXOptionItemRegistry::instance()->create(className.toLatin1(), nullptr)));
}

const QString kMarks = QStringLiteral("\"markPoint\": {\"data\": [{\"type\": \"max\", \"name\": \"Max\"}, {\"type\": \"min\", \"name\": \"Min\"}]}");

} // namespace

class TstOptionWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZhpTest::failOnUnexpectedMessages(); }

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

    void editsWriteTheirEntry_data()
    {
        QTest::addColumn<QString>("className");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariantMap>("stored");   // further entries of the configuration
        QTest::addColumn<QStringList>("edits");    // object names clicked, or "name=text" typed
        QTest::addColumn<QString>("entry");        // what the widget writes
        QTest::addColumn<QStringList>("builders"); // run in order on the written configuration
        QTest::addColumn<QString>("option");       // keys of the built option that are compared

        const QVariantMap twoUnits{{"units", QVariantMap{{"甲", "元/吨"}, {"乙", "万吨"}}}};
        const QString legendTop = QStringLiteral("\"legend\": {\"type\": \"scroll\", \"orient\": \"horizontal\", \"x\": \"center\", \"y\": \"top\"}");
        QTest::newRow("legend defaults") << "HXLegendCfgWidget" << 1 << QVariantMap() << QStringList()
            << R"({"showLegend": true, "legendPosition": "H", "legendHPosition": "C", "legendVPosition": "T"})"
            << QStringList{"HXLegendCfgWidget"} << "{" + legendTop + "}";
        QTest::newRow("legend vertical right") << "HXLegendCfgWidget" << 1 << QVariantMap() << QStringList{"legendVRBtn", "legendHRRBtn", "legendVCRBtn"}
            << R"({"showLegend": true, "legendPosition": "V", "legendHPosition": "R", "legendVPosition": "C"})"
            << QStringList{"HXLegendCfgWidget"} << R"({"legend": {"type": "scroll", "orient": "vertical", "x": "right", "y": "center"}})";
        QTest::newRow("legend hidden") << "HXLegendCfgWidget" << 1 << QVariantMap() << QStringList{"showLegendBtn"}
            << R"({"showLegend": false, "legendPosition": "H", "legendHPosition": "C", "legendVPosition": "T"})"
            << QStringList{"HXLegendCfgWidget"} << "{}";
        QTest::newRow("title") << "HXTitleOptionWidget" << 1 << QVariantMap() << QStringList{"titleLineEdit=螺纹钢", "subTitleLineEdit=上海", "showTitleBtn", "rightRBtn", "legendVRBtn", "legendHLRBtn", "legendVBRBtn"}
            << R"({"title": "螺纹钢", "subtitle": "上海", "showTitle": true, "position": "right", "showLegend": true, "legendPosition": "V", "legendHPosition": "L", "legendVPosition": "B"})"
            << QStringList{"HXTitleOptionWidget"} << R"({"legend": {"type": "scroll", "orient": "vertical", "x": "left", "y": "bottom"}})";
        QTest::newRow("axes") << "HXXYDataCfgWidget" << 1 << twoUnits << QStringList{"cbShowNetGrid"}
            << R"({"isShowUnit": true, "isShowNetGrid": false})"
            << QStringList{"HXSeriesOptionCfgWidget", "HXXYDataCfgWidget"}
            << R"({"yAxis": [{"type": "value", "scale": true, "splitLine": {"show": false}, "name": "元/吨"}, {"type": "value", "scale": true, "splitLine": {"show": false}, "name": "万吨"}]})";
        QTest::newRow("axes without units") << "HXXYDataCfgWidget" << 2 << QVariantMap() << QStringList{"cbShowUnit"}
            << R"({"isShowUnit": false, "isShowNetGrid": true})"
            << QStringList{"HXSeriesOptionCfgWidget", "HXXYDataCfgWidget"}
            << R"({"xAxis": {"type": "category", "boundaryGap": true}, "yAxis": {"type": "value", "scale": true, "splitLine": {"show": true}}})";
        QTest::newRow("unit") << "HXUnitCfgWidget" << 2 << twoUnits << QStringList()
            << R"({"isShowUnit": true})" << QStringList{"HXSeriesOptionCfgWidget", "HXXYDataCfgWidget"}
            << R"({"yAxis": [{"type": "value", "scale": true, "splitLine": {"show": false}, "name": "元/吨"}, {"type": "value", "scale": true, "splitLine": {"show": false}, "name": "万吨"}]})";
        QTest::newRow("series of a line chart") << "HXSeriesOptionCfgWidget" << 1 << twoUnits
            << QStringList{"showMaxMinBtn", "乙/lineEdit=乙二", "乙/barBtn", "甲/areaBtn", "甲/areaBtn", "甲/defaultBtn"}
            << R"({"isShowLabel": false, "transposed": false, "isShowMaxMin": true, "甲": {"nickName": "甲", "type": 255, "color": "", "yAxisIndex": 0}, "乙": {"nickName": "乙二", "type": 2, "color": "#123456", "yAxisIndex": 0}})"
            << QStringList{"HXSeriesOptionCfgWidget"}
            << QString("{\"series\": [{\"name\": \"甲\", \"type\": \"line\", \"yAxisIndex\": 0, %1, \"showSymbol\": false, \"connectNulls\": true}, {\"name\": \"乙二\", \"type\": \"bar\", \"color\": [\"#123456\"], \"yAxisIndex\": 1, %1, \"showSymbol\": false, \"connectNulls\": true}]}").arg(kMarks);
        QTest::newRow("series on the right axis by hand") << "HXSeriesOptionCfgWidget" << 4 << QVariantMap() << QStringList{"乙/rightAxisBtn"}
            << R"({"isShowLabel": false, "transposed": false, "isShowMaxMin": false, "甲": {"nickName": "甲", "type": 255, "color": "", "yAxisIndex": 0}, "乙": {"nickName": "乙", "type": 255, "color": "", "yAxisIndex": 1}})"
            << QStringList{"HXSeriesOptionCfgWidget"}
            << R"({"series": [{"name": "甲", "type": "line", "areaStyle": {}, "yAxisIndex": 0, "showSymbol": false, "connectNulls": true}, {"name": "乙", "type": "line", "areaStyle": {}, "yAxisIndex": 1, "showSymbol": false, "connectNulls": true}]})";
        QTest::newRow("series of a pie") << "HXSeriesOptionCfgWidget" << 3 << QVariantMap() << QStringList{"transposedBtn"}
            << R"({"isShowLabel": false, "transposed": true, "isShowMaxMin": false})"
            << QStringList{"HXSeriesOptionCfgWidget"}
            << R"({"series": [{"type": "pie", "datasetIndex": 1, "encode": {"itemName": "header", "value": "2024-01-01"}}]})";
        QTest::newRow("series of a map") << "HXSeriesOptionCfgWidget" << 5 << QVariantMap() << QStringList{"showLabelBtn"}
            << R"({"isShowLabel": true, "transposed": false, "isShowMaxMin": false})"
            << QStringList{"HXSeriesOptionCfgWidget"} << R"({"series": [{"type": "map", "map": "CN", "label": {"show": true}}]})";
        QTest::newRow("map default colours") << "HXMapCfgWidget" << 5 << QVariantMap() << QStringList{"cusutom_color_btn", "cusutom_color_btn"}
            << R"({"isCustomColor": false, "color1": "#87cefa", "color2": "#fff200", "color3": "#ff4500"})"
            << QStringList{"HXMapCfgWidget"}
            << R"({"visualMap": {"min": 3800, "max": 3900, "realtime": false, "calculable": true, "text": ["高", "低"], "inRange": {"color": ["#a3ccf8", "#7ca4e3", "#547cce"]}}})";
        QTest::newRow("map custom colours") << "HXMapCfgWidget" << 5 << QVariantMap() << QStringList{"cusutom_color_btn"}
            << R"({"isCustomColor": true, "color1": "#87cefa", "color2": "#fff200", "color3": "#ff4500"})"
            << QStringList{"HXMapCfgWidget"}
            << R"({"visualMap": {"min": 3800, "max": 3900, "realtime": false, "calculable": true, "text": ["高", "低"], "inRange": {"color": ["#87cefa", "#fff200", "#ff4500"]}}})";
        QTest::newRow("pie") << "HXPieOptionCfgWidget" << 3 << QVariantMap() << QStringList{"transposedBtn"}
            << R"({"transposed": true})" << QStringList{"HXPieOptionCfgWidget"}
            << R"({"series": [{"type": "pie", "datasetIndex": 1, "encode": {"itemName": "header", "value": "2024-01-01"}}]})";
    }

    void editsWriteTheirEntry()
    {
        QFETCH(QString, className);
        QFETCH(int, type);
        QFETCH(QVariantMap, stored);
        QFETCH(QStringList, edits);
        QFETCH(QString, entry);
        QFETCH(QStringList, builders);
        QFETCH(QString, option);

        QVariantMap cfg = stored;
        cfg.insert("type", type);
        const QJsonObject shown{{"dataset", QJsonArray{type == 5 ? areas() : dataset()}}};
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
        QCOMPARE(QJsonObject::fromVariantMap(cfg.value(widget->entryKey()).toMap()), parse(entry));
        QCOMPARE(cfg.keys().size(), stored.size() + 2); // "type" and its own entry, nothing else

        // The builders make of it what their own tests hold.
        QJsonObject built = shown;
        for (const QString &name : builders)
            HXOptionItemRegistry::instance()->builder(name.toLatin1())(cfg, built);
        const QJsonObject want = parse(option);
        for (auto it = want.begin(); it != want.end(); ++it)
            QCOMPARE(built.value(it.key()), it.value());
        if (want.isEmpty())
            QVERIFY(!built.contains("legend"));

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
        widget->setConfig(cfg, {{"dataset", QJsonArray{dataset()}}});
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
        const QJsonObject shown{{"dataset", QJsonArray{dataset()}}};
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
        datasetFile.write(QJsonDocument(dataset()).toJson());
        cfgFile.close();
        datasetFile.close();
        const ZhpctlRun run = runZhpctl({"option", "--type", "1", "--cfg", cfgFile.fileName(), "--dataset", datasetFile.fileName()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.json(), expected);
    }
};

QTEST_MAIN(TstOptionWidgets)
#include "tst_optionwidgets.moc"
