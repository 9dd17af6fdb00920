// The chart settings against a real server: the panel's configuration after
// a user's edits, the preview, the settings dialog of a chart component and
// the page that saves it, and stored configurations that are damaged.
#include "modalhelper.h"
#include "serversignin.h"
#include "zhptest.h"

#include "charts/config/hxcalindexwidget.h"
#include "charts/config/hxchartconfigcontrol.h"
#include "charts/config/hxchartconfigwidget.h"
#include "charts/config/hxoptionitemcfgwidgets.h"
#include "charts/cpindexchartcomponent.h"
#include "charts/cpindexchartview.h"
#include "charts/hxoptionfilterbasewidget.h"
#include "editor/cpbasedialog.h"
#include "hxecharts/hxechartsview.h"
#include "indexdata/cpindexselector.h"
#include "pagelayout/cpcustompage.h"
#include "seeddata.h"
#include "server.h"
#include "wk/wkcfg.h"
#include "wk/wkfactory.h"
#include "wk/wkserviceconfig.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>

using namespace HXCPControls;

namespace {

constexpr qint64 kIndexBase = 2001000000000LL;
const QString kShanghai = "螺纹钢:HRB400 20mm:上海";
const QString kGuangzhou = "螺纹钢:HRB400 20mm:广州";
const QString kStock = "螺纹钢:社会库存";

QVariantMap entry(int n, const QString &name, const QString &unit, int frequency, const QString &frequencyName)
{
    return {{"IDX_ID", kIndexBase + n}, {"INDEX_NAME", name}, {"UNIT_NAME", unit}, {"FREQUENCY_CODE", frequency}, {"FREQUENCY_NAME", frequencyName}};
}

QVariantMap legendDefaults()
{
    return {{"showLegend", true}, {"legendPosition", "H"}, {"legendHPosition", "C"}, {"legendVPosition", "T"}};
}

QVariantMap seriesDefaults(const QStringList &names)
{
    QVariantMap series{{"isShowLabel", false}, {"transposed", false}, {"isShowMaxMin", false}};
    for (const QString &name : names)
        series.insert(name, QVariantMap{{"nickName", name}, {"type", 255}, {"color", ""}, {"yAxisIndex", 0}});
    return series;
}

QJsonObject json(const QVariantMap &map)
{
    return QJsonObject::fromVariantMap(map);
}

void click(QAbstractButton *button)
{
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(qMin(8, button->width() / 2), button->height() / 2));
}

template <class T>
T *child(QWidget *parent, const char *name)
{
    T *found = parent->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

// Handles the next dialog frame that opens around a form of type Content
// (another dialog may be open below it).
template <class Content>
void onNextDialogWith(std::function<void(CPBaseDialog *)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<CPBaseDialog *>(w);
            if (dialog && dialog->isVisible() && qobject_cast<Content *>(dialog->content())) {
                act(dialog);
                *poll = nullptr; // breaks the cycle
                return;
            }
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// Chooses `text` in the next context menu that opens.
void chooseInNextMenu(const QString &text)
{
    onNextModal<QMenu>([text](QMenu *menu) {
        for (QAction *action : menu->actions()) {
            if (action->text() == text) {
                menu->setActiveAction(action);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
    });
}

} // namespace

class TstChartConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    zhpserver::Server m_server;

    static bool waitPreview(QSignalSpy &spy)
    {
        return spy.wait(20000);
    }

    // The chart of `page` of the given type whose indices start with 上海 and number `count`.
    static CPIndexChartComponent *chartOf(CPCustomPage &page, int type, int count)
    {
        for (CPIndexChartComponent *component : page.findChildren<CPIndexChartComponent *>()) {
            const CPIndexChartConfig config = component->config();
            if (config.optionCfg.value("type").toInt() == type && config.indexes.size() == count
                && config.indexes.first().value("IDX_ID").toLongLong() == kIndexBase + 1)
                return component;
        }
        return nullptr;
    }

    // In the index selector: the candidates of a catalogue node, one clicked, accepted.
    static void pickCandidate(CPBaseDialog *dialog, int catCode, int row)
    {
        auto *selector = dialog->findChild<CPIndexSelector *>();
        const int before = selector->count();
        selector->loadCandidates({{"CAT_CODE", catCode}, {"HAV_IDX", 1}});
        QTableView *candidates = selector->candidateView();
        QTest::mouseClick(candidates->viewport(), Qt::LeftButton, {}, candidates->visualRect(candidates->model()->index(row, 0)).center());
        QCOMPARE(selector->count(), before + 1);
        child<QPushButton>(dialog, "pbOk")->click();
    }

    // In the calculated index dialog: an expression and a name, validated, accepted.
    static void writeExpression(CPBaseDialog *dialog, const QString &expression, const QString &name)
    {
        auto *editor = dialog->findChild<HXCalIndexWidget *>();
        child<QTextEdit>(editor, "textEdit")->setPlainText(expression);
        child<QLineEdit>(editor, "lineEdit")->setText(name);
        MessageBoxCatcher box;
        box.arm();
        child<QPushButton>(dialog, "validateIndexExpression")->click();
        QCOMPARE(box.text, QString("验证通过"));
        child<QPushButton>(dialog, "pbOk")->click();
    }

    void openRowMenu(HXChartConfigWidget &panel, int row, const QString &choice)
    {
        // What the offscreen platform says of every popup menu.
        ZhpTest::expectMessage(QtWarningMsg, QString("This plugin does not support raise()"));
        ZhpTest::expectMessage(QtWarningMsg, QString("This plugin does not support grabbing the keyboard"));
        chooseInNextMenu(choice);
        QTableView *table = panel.indexTable();
        emit table->customContextMenuRequested(table->visualRect(table->model()->index(row, 1)).center());
    }

public:
    // The chart's web view shares its OpenGL context with the widgets.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        zhpserver::Options options;
        options.databasePath = m_dir.filePath("chartconfig.sqlite");
        options.seed = true;
        options.logRequests = false;
        QString error;
        QVERIFY2(m_server.start(options, &error), qPrintable(error));
        QVERIFY2(ZhpTest::signIn(m_server, QStringLiteral("u1001"), {QStringLiteral("*")}, &error), qPrintable(error));
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl());
        WKFactory<QWidget>::registerClass<CPIndexChartComponent>("CPIndexChartComponent");
    }

    void storedEntriesThatAreNotIndicesAreKept()
    {
        const QVariantList stored{5, QVariantMap(), entry(1, "甲", "元/吨", 365, "日"), "x"};
        const CPIndexChartConfig config = CPIndexChartConfig::fromMap({{"indexes", stored}});
        QCOMPARE(config.indexes.size(), 1);
        QCOMPARE(config.toMap().value("indexes").toList(), stored);
        // Where the usable entries change, the others stay in place as far as they can.
        CPIndexChartConfig edited = config;
        edited.indexes.clear();
        QCOMPARE(edited.toMap().value("indexes").toList(), (QVariantList{5, QVariantMap(), "x"}));
    }

    void panelConfigAfterEdits()
    {
        CPIndexChartInfo info;
        info.fillDefaults();
        HXChartConfigWidget panel(nullptr, info);
        panel.resize(1100, 760);
        panel.show();
        QSignalSpy preview(&panel, &HXChartConfigWidget::previewUpdated);
        CPIndexChartConfig stored = CPIndexChartConfig::fromMap(
            {{"isShowTitle", true}, {"title", "测试图"},
             {"indexes", QVariantList{entry(1, "旧名称", "元/吨", 365, "日"), entry(8, kStock, "万吨", 7, "周")}},
             {"optionCfg", QVariantMap{{"type", 1}, {"HXCPControls::HXLegendCfgWidget", legendDefaults()}}},
             {"query", QVariantMap{{"isLatestDate", true}, {"date", "1"}, {"unit", 2}}}});
        panel.setConfig(stored);
        QVERIFY(waitPreview(preview));
        // (Names come fresh from the index datasource: the units at the end are keyed by them.)
        HXChartConfigControl *control = panel.control();
        QCOMPARE(control->previewOption().value("series").toArray().size(), 2);
        QCOMPARE(control->chartView()->lastOption().value("yAxis").toArray().size(), 2);

        // Add 广州 in the index selector.
        onNextDialogWith<CPIndexSelector>([](CPBaseDialog *dialog) { pickCandidate(dialog, 380101, 2); });
        click(child<QPushButton>(&panel, "edit_index_btn"));
        QVERIFY(waitPreview(preview));

        // Drag 广州's row to the top, then delete the stock.
        panel.indexTable()->verticalHeader()->moveSection(2, 0);
        QTRY_COMPARE(panel.indexes().at(0).value("INDEX_NAME").toString(), kGuangzhou);
        openRowMenu(panel, 2, "删除指标");
        QVERIFY(waitPreview(preview));

        // A calculated spread of the two prices, then renamed.
        const QString expression = kGuangzhou + QString("_%1 - ").arg(kIndexBase + 3) + kShanghai + QString("_%1").arg(kIndexBase + 1);
        onNextDialogWith<HXCalIndexWidget>([expression](CPBaseDialog *dialog) { writeExpression(dialog, expression, "广沪价差"); });
        click(child<QPushButton>(&panel, "cal_index_btn"));
        QVERIFY(waitPreview(preview));
        QCOMPARE(control->previewOption().value("dataset").toArray()[0].toObject().value("dimensions").toArray().last().toString(),
                 QString("广沪价差"));
        onNextDialogWith<HXCalIndexWidget>([](CPBaseDialog *dialog) {
            child<QLineEdit>(dialog, "lineEdit")->setText("价差");
            child<QPushButton>(dialog, "pbOk")->click();
        });
        openRowMenu(panel, 2, "修改指标");
        QCOMPARE(panel.nextCalculatedId(), -3LL);
        QVERIFY(waitPreview(preview));

        // Stacked bars; restore keeps the type and the units; a vertical legend on the right.
        click(control->typeButton("d_stacked_bar"));
        QCOMPARE(control->typeButton("d_stacked_bar")->property("selected").toBool(), true);
        QCOMPARE(control->typeButton("d_line")->property("selected").toBool(), false);
        click(child<QToolButton>(control, "d_chart_restore"));
        auto *legend = control->findChild<HXLegendCfgWidget *>();
        click(child<QRadioButton>(legend, "legendVRBtn"));
        click(child<QRadioButton>(legend, "legendHRRBtn"));
        QCOMPARE(control->chartView()->lastOption().value("legend").toObject().value("x").toString(), QString("right"));

        // The last five years.
        child<QLineEdit>(control, "latestLineEdit")->setText("5");
        child<QComboBox>(control, "comboBox")->setCurrentIndex(0);
        click(child<QPushButton>(control, "refresh_btn"));
        QVERIFY(waitPreview(preview));

        // The seasonal form of 上海 over three years, then back.
        const int year = QDate::currentDate().year();
        click(child<QToolButton>(control, "d_seasonal_form"));
        QVERIFY(panel.isSeason());
        QVERIFY(waitPreview(preview));
        click(qobject_cast<QRadioButton *>(panel.indexTable()->indexWidget(panel.indexTable()->model()->index(1, 0))));
        QVERIFY(waitPreview(preview));
        child<QComboBox>(control, "startComboBox")->setCurrentText(QString::number(year - 2));
        click(child<QPushButton>(control, "refresh_btn"));
        QVERIFY(waitPreview(preview));
        QCOMPARE(control->previewOption().value("series").toArray().size(), 3);
        click(child<QToolButton>(control, "d_seasonal_form"));
        QVERIFY(!panel.isSeason());
        QVERIFY(waitPreview(preview));

        const QList<QVariantMap> rows = panel.indexes();
        QVariantMap guangzhou = rows[0], shanghai = rows[1];
        guangzhou.remove("isSeason");
        shanghai.remove("isSeason");
        QVariantMap spread{{"INDEX_NAME", "价差"}, {"expression", expression},
                           {"idxIdExpression", QString("%1 - %2").arg(kIndexBase + 3).arg(kIndexBase + 1)},
                           {"identifierMap", QVariantMap{{kGuangzhou + QString("_%1").arg(kIndexBase + 3), guangzhou},
                                                         {kShanghai + QString("_%1").arg(kIndexBase + 1), shanghai}}},
                           {"isCal", true}, {"IDX_ID", -2}, {"UNIT_NAME", "元/吨"}, {"FREQUENCY_CODE", 365},
                           {"FREQUENCY_NAME", shanghai.value("FREQUENCY_NAME")}, {"isSeason", false}};
        guangzhou.insert("isSeason", false);
        shanghai.insert("isSeason", true);
        const QVariantMap units{{kGuangzhou, "元/吨"}, {kShanghai, "元/吨"}, {"价差", "元/吨"}};
        const QStringList years{QString("%1年").arg(year - 4), QString("%1年").arg(year - 3), QString("%1年").arg(year - 2),
                                QString("%1年").arg(year - 1), QString("%1年").arg(year)};
        const QVariantMap expected{
            {"version", "v2"}, {"isShowTitle", true}, {"title", "测试图"}, {"isSeasonForm", false},
            {"indexes", QVariantList{guangzhou, shanghai, spread}},
            {"optionCfg", QVariantMap{{"type", 7}, {"units", units},
                                      {"HXCPControls::HXLegendCfgWidget", QVariantMap{{"showLegend", true}, {"legendPosition", "V"},
                                                                                      {"legendHPosition", "R"}, {"legendVPosition", "T"}}},
                                      {"HXCPControls::HXXYDataCfgWidget", QVariantMap{{"isShowUnit", true}, {"isShowNetGrid", true}}},
                                      {"HXCPControls::HXSeriesOptionCfgWidget", seriesDefaults({kGuangzhou, kShanghai, "价差"})}}},
            {"query", QVariantMap{{"isLatestDate", true}, {"date", "5"}, {"unit", 1}}},
            {"seasonOptionCfg", QVariantMap{{"type", 7}, {"units", QVariantMap{{kShanghai, "元/吨"}}},
                                            {"HXCPControls::HXLegendCfgWidget", legendDefaults()},
                                            {"HXCPControls::HXXYDataCfgWidget", QVariantMap{{"isShowUnit", true}, {"isShowNetGrid", true}}},
                                            {"HXCPControls::HXSeriesOptionCfgWidget", seriesDefaults(years)}}},
            {"seasonQuery", QVariantMap{{"seasonStart", QString::number(year - 2)}, {"seasonEnd", QString::number(year)}}}};
        QCOMPARE(json(panel.config().toMap()), json(expected));
    }

    void mapOffersNoTypeButtonsAndFailuresKeepTheDialogUsable()
    {
        // Without its map file too.
        QFile::remove(WKCfg::instance()->stdPath("wkdata") + "/map/china-compress.json");
        ZhpTest::expectMessage(QtCriticalMsg, QString("china.json 文件无法打开"));
        HXChartConfigWidget map(nullptr, CPIndexMapChartComponent::initIndexChartInfo());
        QStringList buttons;
        for (QToolButton *button : map.control()->findChildren<QToolButton *>())
            buttons << button->objectName();
        QCOMPARE(buttons, (QStringList{"d_chart_restore", "d_seasonal_form"}));
        QVERIFY(!child<QWidget>(&map, "commonQueryWidget")->isEnabled());

        // A query that fails shows the message; the panel stays as it was.
        CPIndexChartInfo info;
        info.fillDefaults();
        info.dataObjName = "ZRN_NO_SUCH_OBJECT";
        HXChartConfigWidget panel(nullptr, info);
        MessageBoxCatcher box;
        box.arm();
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^chart preview query failed: .*ZRN_NO_SUCH_OBJECT"));
        panel.setConfig(CPIndexChartConfig::fromMap({{"indexes", QVariantList{entry(1, kShanghai, "元/吨", 365, "日")}},
                                                     {"optionCfg", QVariantMap{{"type", 2}}}}));
        QTRY_VERIFY_WITH_TIMEOUT(box.seen, 20000);
        QCOMPARE(box.text, QString("指标加载失败"));
        QCOMPARE(panel.config().optionCfg.value("type").toInt(), 2);
        QVERIFY(child<QPushButton>(&panel, "cal_index_btn")->isEnabled());
    }

    void damagedConfigurationsOpen_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("indexes");
        QTest::newRow("wrong types") << QVariantMap{{"indexes", "x"}, {"optionCfg", 5}, {"query", QVariantList{1}}, {"title", QVariantList{}}, {"bogus", 1}} << 1 << 0;
        QTest::newRow("unknown type") << QVariantMap{{"indexes", QVariantList{entry(1, kShanghai, "元/吨", 365, "日")}}, {"optionCfg", QVariantMap{{"type", 12}}}} << 1 << 1;
        QTest::newRow("type as text") << QVariantMap{{"indexes", QVariantList{}}, {"optionCfg", QVariantMap{{"type", "pie"}}}, {"isSeasonForm", true}} << 1 << 0;
        QTest::newRow("operands gone") << QVariantMap{{"indexes", QVariantList{QVariantMap{{"INDEX_NAME", "孤"}, {"isCal", true}, {"IDX_ID", -2},
                                                                                           {"idxIdExpression", "1eval(3)"},
                                                                                           {"identifierMap", QVariantMap{{"旧_1", QVariantMap{{"IDX_ID", kIndexBase + 1}}}}}}}},
                                                      {"optionCfg", QVariantMap{{"type", 3}}}} << 3 << 1;
    }

    void damagedConfigurationsOpen()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(int, type);
        QFETCH(int, indexes);
        CPIndexChartInfo info;
        info.fillDefaults();
        HXChartConfigWidget panel(nullptr, info);
        QSignalSpy preview(&panel, &HXChartConfigWidget::previewUpdated);
        if (QTest::currentDataTag() == QLatin1String("operands gone"))
            ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^calculated index 孤 not evaluated"));
        panel.setConfig(CPIndexChartConfig::fromMap(stored));
        QVERIFY(preview.count() > 0 || waitPreview(preview));
        const CPIndexChartConfig config = panel.config();
        QCOMPARE((config.isSeasonForm ? config.seasonOptionCfg : config.optionCfg).value("type").toInt(), type);
        QCOMPARE(config.indexes.size(), indexes);
        QCOMPARE(child<QStackedWidget>(&panel, "stackedWidget")->currentWidget()->objectName(),
                 QString(indexes ? "index_list_widget" : "empty_index_widget"));
    }

    // On the sample dashboard in edit mode: "设置" on the line chart, cancelled
    // and then accepted after a user's edits; the page stores what was accepted.
    void componentDialogAppliesAndThePageSavesIt()
    {
        CPCustomPage page;
        page.resize(1280, 800);
        page.show();
        page.editable(true);
        page.loadDataById(QString::fromLatin1(zhpserver::seed::DashboardPad));
        CPIndexChartComponent *component = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((component = chartOf(page, 1, 3)) != nullptr, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!component->chartView()->lastOption().isEmpty(), 20000);
        const QVariantMap before = component->config().toMap();

        // Cancel changes nothing.
        bool opened = false;
        onNextDialogWith<HXChartConfigWidget>([&opened](CPBaseDialog *dialog) {
            opened = true;
            QCOMPARE(dialog->title(), QString("   指标图形设置"));
            auto *panel = dialog->findChild<HXChartConfigWidget *>();
            QSignalSpy preview(panel, &HXChartConfigWidget::previewUpdated);
            QVERIFY(preview.count() > 0 || preview.wait(20000));
            // A pie gets the column picker and its own option widgets; bars drop the picker again.
            auto shownWidgets = [panel] {
                QStringList names;
                for (HXOptionItemCfgBaseWidget *widget : panel->control()->itemWidgets())
                    names << widget->entryKey();
                return names;
            };
            click(panel->control()->typeButton("d_pie"));
            QVERIFY(panel->control()->filterWidget());
            QCOMPARE(shownWidgets(), (QStringList{"HXCPControls::HXLegendCfgWidget", "HXCPControls::HXSeriesOptionCfgWidget"}));
            click(panel->control()->typeButton("d_bar"));
            QVERIFY(!panel->control()->filterWidget() && !panel->findChild<HXPieChartFilterWidget *>());
            QCOMPARE(shownWidgets().size(), 3);
            child<QPushButton>(dialog, "pbCancel")->click();
        });
        component->activateWindow();
        component->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(component->window()));
        QTest::keyClick(component, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(opened);
        QCOMPARE(component->config().toMap(), before);

        // Add an index from the catalogue and the spread of two prices, stack
        // the bars: the component takes what the panel holds at OK.
        QVariantMap fromPanel;
        onNextDialogWith<HXChartConfigWidget>([&fromPanel](CPBaseDialog *dialog) {
            auto *panel = dialog->findChild<HXChartConfigWidget *>();
            QSignalSpy preview(panel, &HXChartConfigWidget::previewUpdated);
            QVERIFY(preview.count() > 0 || preview.wait(20000));
            onNextDialogWith<CPIndexSelector>([](CPBaseDialog *selectorDialog) { pickCandidate(selectorDialog, 380101, 3); });
            click(child<QPushButton>(panel, "edit_index_btn"));
            onNextDialogWith<HXCalIndexWidget>([](CPBaseDialog *calDialog) {
                writeExpression(calDialog, kGuangzhou + QString("_%1 - ").arg(kIndexBase + 3) + kShanghai + QString("_%1").arg(kIndexBase + 1),
                                "广沪价差");
            });
            click(child<QPushButton>(panel, "cal_index_btn"));
            QVERIFY(preview.wait(20000));
            click(panel->control()->typeButton("d_stacked_bar"));
            fromPanel = panel->config().toMap();
            child<QPushButton>(dialog, "pbOk")->click();
        });
        QSignalSpy titled(component, &QWidget::windowTitleChanged);
        component->settingAction()->trigger();
        QCOMPARE(titled.count(), 1);
        const CPIndexChartConfig accepted = component->config();
        QCOMPARE(accepted.indexes.size(), 5);
        QCOMPARE(json(accepted.toMap()), json(fromPanel));
        // The page redraws the chart: five stacked series, the spread last.
        QTRY_COMPARE_WITH_TIMEOUT(component->chartView()->lastOption().value("series").toArray().size(), 5, 20000);
        const QJsonObject spread = component->chartView()->lastOption().value("series").toArray().last().toObject();
        QCOMPARE(spread.value("stack").toString(), QString("Stack"));
        QCOMPARE(spread.value("name").toString(), QString("广沪价差"));

        // The page saves it, and a page loaded from what it saved shows the same chart.
        const QByteArray saved = QJsonDocument(QJsonObject::fromVariantMap(page.getContent())).toJson(QJsonDocument::Compact);
        CPCustomPage reloaded;
        reloaded.resize(1280, 800);
        reloaded.show();
        reloaded.loadDataByContent(QString::fromUtf8(saved));
        CPIndexChartComponent *again = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((again = chartOf(reloaded, 7, 5)) != nullptr, 20000);
        QCOMPARE(json(again->config().toMap()), json(accepted.toMap()));
        QTRY_COMPARE_WITH_TIMEOUT(again->chartView()->lastOption().value("series").toArray().size(), 5, 20000);
    }

    void cleanupTestCase() { m_server.stop(); }
};

QTEST_MAIN(TstChartConfig)

#include "tst_chartconfig.moc"
