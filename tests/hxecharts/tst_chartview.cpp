#include "hxecharts/hxechartsview.h"
#include "zhptest.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

using HXEcharts::HXEChartsView;

namespace {

QJsonObject parse(const char *json)
{
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(QByteArray(json), &error).object();
    return error.error == QJsonParseError::NoError ? object : (qFatal("bad test option"), object);
}

// The options the view is given, from the data folder. Animation is off so
// that the first frame is the finished chart. The map's colours are none of
// the chart's defaults, which areas without a value take.
QJsonObject viewOption(const QByteArray &name)
{
    static const QJsonObject all = [] {
        QFile file(QStringLiteral(CHART_DATA_DIR "/views.json"));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }();
    return all.value(QString::fromLatin1(name)).toObject();
}





// Pixels close to `colour`.
int countPixels(const QImage &image, QColor colour, int tolerance = 40)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += qAbs(c.red() - colour.red()) <= tolerance && qAbs(c.green() - colour.green()) <= tolerance
                 && qAbs(c.blue() - colour.blue()) <= tolerance;
        }
    return n;
}

QJsonObject chinaMap()
{
    QFile file(QStringLiteral(ZHP_CHINA_MAP_FILE));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

} // namespace

class TestChartView : public QObject
{
    Q_OBJECT

    std::unique_ptr<HXEChartsView> m_view;

    // Runs `script` on the page of `view` and waits for its result.
    QVariant js(HXEChartsView *view, const QString &script)
    {
        auto result = std::make_shared<QPair<bool, QVariant>>(false, QVariant());
        view->page()->runJavaScript(script, [result](const QVariant &v) { *result = {true, v}; });
        (void)QTest::qWaitFor([&] { return result->first; }, 10000);
        return result->second;
    }
    QVariant js(const QString &script) { return js(m_view.get(), script); }
    bool draw(HXEChartsView *view, const QJsonObject &option, bool update = false)
    {
        QSignalSpy drawn(view, &HXEChartsView::chartDrawn);
        view->addCharts(option, update);
        return drawn.wait(10000) && drawn.first().first().toBool();
    }

public:
    // The chart's web view shares its OpenGL context with the widgets.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        m_view.reset(new HXEChartsView(nullptr, {"zhpChart.functions.tonFormatter = function (v) { return v + ' 吨'; };"}));
        m_view->setGeoJson(QJsonArray{QJsonObject{{"key", "CN"}, {"value", chinaMap()}}});
        m_view->resize(640, 420);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QTRY_VERIFY_WITH_TIMEOUT(m_view->isChartReady(), 20000);
    }

    void drawsWhatArrivesBeforeLoad()
    {
        HXEChartsView view(nullptr, QJsonArray());
        view.resize(640, 420);
        view.show();
        QSignalSpy drawn(&view, &HXEChartsView::chartDrawn);
        // Map and option both wait for the page.
        view.setGeoJson(QStringLiteral("CN"), chinaMap());
        view.addCharts(viewOption("map"), false);
        QVERIFY(!view.isChartReady());
        QVERIFY(drawn.wait(20000));
        QCOMPARE(drawn.first().first().toBool(), true);

        // Every province of the map is an item of the series, those with a price carry it.
        QCOMPARE(js(&view, QStringLiteral("zhpChart.instance().getModel().getSeriesByIndex(0).getData().count()")).toInt(), 34);
        // 广东 has the highest price and takes the top colour of the range, 北京 the lowest.
        QTRY_VERIFY(countPixels(view.chartImage(), QColor(0xc0, 0, 0xc0), 12) > 100);
        QVERIFY(countPixels(view.chartImage(), QColor(0, 0xc0, 0), 12) > 5);
    }

    void drawsAndReplacesOptions()
    {
        QVERIFY(draw(m_view.get(), viewOption("line")));
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getOption().series.length")).toInt(), 2);
        QTRY_VERIFY(countPixels(m_view->chartImage(), Qt::red) > 150);
        QVERIFY(countPixels(m_view->chartImage(), Qt::blue) > 150);

        // The saved picture is the chart as shown; a file that cannot be written is refused.
        QTemporaryDir dir;
        QVERIFY(m_view->saveToImage(dir.filePath(QStringLiteral("图表.png"))));
        const QImage saved(dir.filePath(QStringLiteral("图表.png")));
        QCOMPARE(saved.size(), m_view->size() * m_view->devicePixelRatioF());
        QVERIFY(countPixels(saved, Qt::red) > 150);
        const QString bad = dir.filePath(QStringLiteral("missing/图表.png"));
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^chart view - could not save the chart to")));
        QVERIFY(!m_view->saveToImage(bad));
        QVERIFY(!QFile::exists(bad));

        // A new option replaces the chart: no line is left over.
        QVERIFY(draw(m_view.get(), viewOption("pie")));
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getOption().series.map(function (s) { return s.type; }).join()")).toString(), "pie");
        QTRY_COMPARE(countPixels(m_view->chartImage(), Qt::red), 0);
    }

    // The tooltip of a data point, and the data view table (none for a
    // chart without a data view).
    void tooltipsAndDataViews_data()
    {
        QTest::addColumn<QByteArray>("option");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("absent");
        QTest::addColumn<QStringList>("rows");

        QTest::newRow("line") << QByteArray("line") << "dataIndex: 1" << QStringList{"2024-01-02", "甲", "1,234.5", "乙", "12"}
                              << QStringList{"[object"} << QStringList{"日期|甲|乙", "2024-01-01|1|10", "2024-01-02|1,234.5|12", "2024-01-03|3|-"};
        QTest::newRow("line with gap") << QByteArray("line") << "dataIndex: 2" << QStringList{"2024-01-03", "乙-"} << QStringList{"null", "NaN"}
                                       << QStringList();
        QTest::newRow("pie") << QByteArray("pie") << "dataIndex: 0" << QStringList{"铜", "30 (75%)"} << QStringList{"series"}
                             << QStringList{"名称|数值|占比", "铜|30|75.00%", "铝|10|25.00%"};
        QTest::newRow("section") << QByteArray("section") << "dataIndex: 1" << QStringList{"2024-01-01", "乙7"} << QStringList{"series"}
                                 << QStringList();
        // The K-line series carry their own data; the first axis gives the dates.
        QTest::newRow("kline") << QByteArray("kline") << "dataIndex: 1" << QStringList{"2024-01-02", "螺纹钢6", "MA5-"} << QStringList{"开盘"}
                               << QStringList{"日期|螺纹钢|MA5", "2024-01-01|5|-", "2024-01-02|6|-"};
        // The data view lists the highest value first.
        QTest::newRow("map") << QByteArray("map") << "name: '上海'" << QStringList{"上海55"} << QStringList{"NaN"}
                             << QStringList{"地区|数值", "广东|100", "上海|55", "北京|10"};
    }

    void tooltipsAndDataViews()
    {
        QFETCH(QByteArray, option);
        QFETCH(QString, action);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        QFETCH(QStringList, rows);

        QVERIFY(draw(m_view.get(), viewOption(option)));
        const QString tip = QStringLiteral(
            "zhpChart.instance().dispatchAction({type: 'showTip', seriesIndex: 0, %1});"
            "Array.prototype.map.call(document.querySelectorAll('#chart > div'), function (d) { return d.textContent; }).join('|')")
                                   .arg(action);
        QString text;
        QTRY_VERIFY((text = js(tip).toString()).contains(expected.first()));
        for (const QString &part : expected)
            QVERIFY2(text.contains(part), qPrintable(text));
        for (const QString &part : absent)
            QVERIFY2(!text.contains(part), qPrintable(text));
        if (rows.isEmpty())
            return;

        m_view->showDataView();
        const QString table = QStringLiteral(
            "Array.prototype.map.call(document.querySelectorAll('#zhp-dataview tr'), function (tr) {"
            "  return Array.prototype.map.call(tr.children, function (c) { return c.textContent; }).join('|'); })");
        QStringList shown;
        QTRY_VERIFY(!(shown = js(table).toStringList()).isEmpty());
        QCOMPARE(shown, rows);
        // A new option closes the data view.
        QVERIFY(draw(m_view.get(), viewOption(option)));
        QCOMPARE(js(QStringLiteral("document.getElementById('zhp-dataview') === null")).toBool(), true);
    }

    void extraScriptsAddFunctions()
    {
        QJsonObject option = viewOption("line");
        option.insert("yAxis", parse(R"({"type": "value", "axisLabel": {"formatter": "method=tonFormatter"}})"));
        // Text that merely looks alike is data, not a reference.
        option.insert("title", parse(R"({"text": "method=tonFormatter "})"));
        QVERIFY(draw(m_view.get(), option));
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getOption().yAxis[0].axisLabel.formatter(5)")).toString(), "5 吨");
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getOption().title[0].text")).toString(), "method=tonFormatter ");
    }

    void scriptErrorsReachTheLog()
    {
        QSignalSpy errors(m_view.get(), &HXEChartsView::scriptError);

        // An unknown function is reported and left out; the rest is drawn.
        QJsonObject option = viewOption("line");
        option.insert("tooltip", parse(R"({"formatter": "method=noSuchFormatter"})"));
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^chart view - script error: unknown chart function \"noSuchFormatter\" at tooltip.formatter")));
        QVERIFY(draw(m_view.get(), option));
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getOption().series.length")).toInt(), 2);

        // The chart refusing an option: a map that was never registered.
        m_view->setContainerObjectName(QStringLiteral("HXCPControls::CPIndexDetailChartPanel"));
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
            "^chart view HXCPControls::CPIndexDetailChartPanel script error: the chart refused its option: ")));
        QVERIFY(!draw(m_view.get(), parse(R"({"series": [{"type": "map", "map": "NOWHERE"}]})")));
        QTRY_COMPARE(errors.count(), 2);
        // The next option is drawn on a sound chart.
        QVERIFY(draw(m_view.get(), viewOption("line")));
        QTRY_VERIFY(countPixels(m_view->chartImage(), Qt::red) > 150);
        QCOMPARE(errors.count(), 2);

        // An exception thrown later on the page.
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("script error: Uncaught Error: broken handler")));
        m_view->page()->runJavaScript(QStringLiteral("setTimeout(function () { throw new Error('broken handler'); }, 0);"));
        QTRY_COMPARE(errors.count(), 3);
        m_view->setContainerObjectName(QString());
    }

    void updateKeepsLegendSelection()
    {
        const QString hidden = QStringLiteral("zhpChart.instance().getOption().legend[0].selected['乙'] === false");
        QVERIFY(draw(m_view.get(), viewOption("line")));
        js(QStringLiteral("zhpChart.instance().dispatchAction({type: 'legendUnSelect', name: '乙'})"));
        QTRY_VERIFY(js(hidden).toBool());

        // A filter redraw of the same chart keeps 乙 switched off ...
        QVERIFY(draw(m_view.get(), viewOption("line"), true));
        QVERIFY(js(hidden).toBool());
        QTRY_COMPARE(countPixels(m_view->chartImage(), Qt::blue, 30), 0);
        // ... a new chart starts with every series shown.
        QVERIFY(draw(m_view.get(), viewOption("line"), false));
        QVERIFY(!js(hidden).toBool());
        QTRY_VERIFY(countPixels(m_view->chartImage(), Qt::blue) > 150);
    }

    // The context menu offers the toolbox features of the option; "myPopup"
    // opens the chart in a standalone window, which does not offer it again.
    void chartMenuAndPopupWindow()
    {
        auto texts = [](QMenu *menu) {
            QStringList list;
            for (QAction *a : menu->actions())
                list.append(a->text());
            delete menu;
            return list;
        };
        m_view->addCharts(viewOption("pie"), false);
        QCOMPARE(texts(m_view->createChartMenu()), QStringList{"数据视图"});
        m_view->addCharts(viewOption("section"), false);
        QVERIFY(!m_view->createChartMenu());
        QVERIFY(draw(m_view.get(), viewOption("line")));
        QCOMPARE(texts(m_view->createChartMenu()), (QStringList{"数据视图", "保存图片", "弹出窗口"}));
        QTRY_VERIFY(js(QStringLiteral("zhpChart.connected()")).toBool());

        QSignalSpy requested(m_view.get(), &HXEChartsView::popupRequested);
        js(QStringLiteral("zhpChart.instance().getOption().toolbox[0].feature.myPopup.onclick()"));
        QTRY_COMPARE(requested.count(), 1);

        HXEChartsView *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            window = w != m_view.get() && w->isVisible() && qobject_cast<HXEChartsView *>(w) ? static_cast<HXEChartsView *>(w) : window;
        QVERIFY(window);
        QVERIFY(window->isStandalone());
        QCOMPARE(window->geoMapKeys(), QStringList{QStringLiteral("CN")});
        QSignalSpy drawn(window, &HXEChartsView::chartDrawn);
        QVERIFY(drawn.wait(20000));
        QCOMPARE(texts(window->createChartMenu()), (QStringList{"数据视图", "保存图片"}));
        QCOMPARE(js(window, QStringLiteral("'myPopup' in zhpChart.instance().getOption().toolbox[0].feature")).toBool(), false);
        QCOMPARE(js(window, QStringLiteral("zhpChart.instance().getOption().series.length")).toInt(), 2);
        QPointer<HXEChartsView> guard(window);
        window->close();
        QTRY_VERIFY(guard.isNull());
    }

    void resetRedrawsLastOption()
    {
        QVERIFY(draw(m_view.get(), viewOption("line")));
        QSignalSpy ready(m_view.get(), &HXEChartsView::chartReady);
        QSignalSpy drawn(m_view.get(), &HXEChartsView::chartDrawn);
        m_view->resetWebView(false);
        QVERIFY(!m_view->isChartReady());
        QVERIFY(ready.wait(20000));
        QTRY_COMPARE(drawn.count(), 1);
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getOption().series.length")).toInt(), 2);
        // The new page has the extra functions and the maps again.
        QCOMPARE(js(QStringLiteral("typeof zhpChart.functions.tonFormatter")).toString(), QStringLiteral("function"));
        QCOMPARE(js(QStringLiteral("echarts.getMap('CN').geoJSON.features.length")).toInt(), 34);

        // Resetting with `clear` leaves the view empty.
        m_view->resetWebView(true);
        QVERIFY(ready.wait(20000));
        QCOMPARE(js(QStringLiteral("zhpChart.instance() === null")).toBool(), true);
        QCOMPARE(drawn.count(), 1);
    }

    void mapArrivingLateRedraws()
    {
        // An empty map (an unreadable map file) draws an empty chart without errors.
        QVERIFY(draw(m_view.get(), QJsonObject()));
        QSignalSpy drawn(m_view.get(), &HXEChartsView::chartDrawn);
        m_view->setGeoJson(QStringLiteral("CN"), QJsonObject());
        QVERIFY(drawn.wait(10000));
        QVERIFY(draw(m_view.get(), viewOption("map")));
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getModel().getSeriesByIndex(0).getData().count()")).toInt(), 3);

        // The real map replaces it and the shown chart is drawn over it.
        m_view->setGeoJson(QJsonArray{QJsonObject{{"key", "CN"}, {"value", chinaMap()}}});
        QVERIFY(drawn.wait(10000));
        QCOMPARE(m_view->geoMapKeys(), QStringList{QStringLiteral("CN")});
        QCOMPARE(js(QStringLiteral("zhpChart.instance().getModel().getSeriesByIndex(0).getData().count()")).toInt(), 34);

        ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("chart view - ignores a map without a key"));
        m_view->setGeoJson(QJsonArray{QJsonObject{{"value", QJsonObject()}}});
    }
};

QTEST_MAIN(TestChartView)

#include "tst_chartview.moc"
