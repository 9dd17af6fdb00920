// The index detail dialog against a seeded server: comparison, chart forms,
// the season form, the data page, the export with its daily quota, and the
// workbook it writes.
#include "serverfixture.h"
#include "modalhelper.h"

#include "charts/hxoptionfilterbasewidget.h"
#include "editor/cpbasedialog.h"
#include "editor/cpdialogcontent.h"
#include "editor/dialogmask.h"
#include "hxecharts/hxechartsview.h"
#include "indexdata/cpindexselector.h"
#include "indexdata/detail/cpdetailtitlesetting.h"
#include "indexdata/detail/cpindexdetailchartpanel.h"
#include "indexdata/detail/cpxyaxissetting.h"
#include "indexdata/detail/cpindexdetailindexselectorview.h"
#include "indexdata/detail/cpindexdetailoptionview.h"
#include "indexdata/detail/cpindexdetailqueryview.h"
#include "indexdata/detail/cpindexdetailview.h"
#include "wk/wkappconfig.h"
#include "wk/wkexportmanger.h"

#include <QtWidgets>

using namespace HXCPControls;

namespace {

const QString kShanghai = QStringLiteral("螺纹钢:HRB400 20mm:上海");

QVariantMap indexRow(int n, const QString &name)
{
    return {{"IDX_ID", double(kIndexBase + n)}, {"INDEX_NAME", name}, {"UNIT_NAME", QStringLiteral("元/吨")}};
}

void click(CPIndexDetailChartPanel *panel, const char *task)
{
    panel->chartOptionView()->button(QLatin1String(task))->click();
}

QStringList seriesNames(const QJsonObject &option)
{
    QStringList names;
    for (const QJsonValue &s : option.value("series").toArray())
        names << s.toObject().value("name").toString();
    return names;
}

} // namespace

class TstIndexDetailDialog : public QObject
{
    Q_OBJECT

    DatasourceFixture m_ds;
    QTemporaryDir m_dir;

    struct Opened
    {
        std::unique_ptr<CPIndexDetailDialog> dialog;
        CPIndexDetailView *view = nullptr;
        CPIndexDetailChartPanel *panel = nullptr;
    };

    // A detail dialog on a seeded index, shown without blocking, once its first chart is drawn.
    Opened open(int n, const QString &name)
    {
        CPIndexDetailRequest request;
        request.indexName = name;
        request.indexId = kIndexBase + n;
        request.sourceCode = QStringLiteral("1");
        Opened o;
        o.view = new CPIndexDetailView(nullptr, request);
        o.panel = o.view->chartPanel();
        o.dialog = std::make_unique<CPIndexDetailDialog>(nullptr, o.view);
        QSignalSpy drawn(o.panel->chartView(), &HXEcharts::HXEChartsView::chartDrawn);
        o.dialog->show();
        [&] {
            QTRY_COMPARE_WITH_TIMEOUT(o.view->indexList()->indexes().size(), 1, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(!drawn.isEmpty(), 30000);
        }();
        return o;
    }

    // Exports as `user`, answering the file dialog with `fileName` (cancelling
    // it when empty; no dialog is expected when null). Returns "title|text" of
    // the box that ends the export, or "" when none came.
    QString exportAs(CPIndexDetailChartPanel *panel, const QString &user, const QString &fileName)
    {
        m_ds.signIn(user);
        // The export may run after the click returns: wait until the dialog was
        // answered, so that no handler is left for a later export's dialog.
        auto answered = std::make_shared<bool>(fileName.isNull());
        if (!fileName.isNull()) {
            onNextModal<QFileDialog>([fileName, answered](QFileDialog *dialog) {
                *answered = true;
                if (fileName.isEmpty()) {
                    dialog->reject();
                    return;
                }
                dialog->selectFile(fileName);
                static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
            });
        }
        MessageBoxCatcher box;
        box.arm();
        panel->dataOptionView()->button(QStringLiteral("d_down_data"))->click();
        const bool cancelled = !fileName.isNull() && fileName.isEmpty();
        (void)QTest::qWaitFor([&] { return box.seen || (cancelled && *answered); }, 15000);
        if (cancelled)
            (void)QTest::qWaitFor([&] { return box.seen; }, 300);
        return box.seen ? box.title + QLatin1Char('|') + box.text : QString();
    }

public:
    // The chart's web view shares its OpenGL context with the widgets.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private slots:
    void initTestCase()
    {
        m_ds.setUp();
        WKAppConfig::instance()->setExportRights({QStringLiteral("IDX_DATA_EXPORT")});
    }

    void comparesSwitchesFormsAndShowsData()
    {
        Opened o = open(1, kShanghai);
        CPIndexDetailChartPanel *panel = o.panel;
        // A year of daily values, one table row per date.
        const int days = panel->dataset().source.size();
        QVERIFY(days > 200);
        QCOMPARE(panel->dataModel()->rowCount(), days);
        // The required index can be neither hidden nor deleted.
        QVERIFY(!o.view->indexList()->findChild<QPushButton *>(QStringLiteral("btn_delete"))->isVisibleTo(o.view));

        // "添加数据": the selector's choice joins the list after the required index.
        onNextModal<CPBaseDialog>([](CPBaseDialog *dialog) {
            auto *selector = qobject_cast<CPIndexSelector *>(dialog->content());
            selector->addIndex(indexRow(4, QStringLiteral("螺纹钢:全国均价")));
            dialog->accept();
        });
        o.view->indexList()->findChild<QPushButton *>(QStringLiteral("add_index_btn"))->click();
        QCOMPARE(o.view->indexList()->indexes().size(), 2);
        QCOMPARE(seriesNames(panel->option()), (QStringList{kShanghai, QStringLiteral("螺纹钢:全国均价")}));
        QCOMPARE(panel->dataModel()->columnCount(), 4);

        // Hiding the added index leaves it listed but undrawn.
        QPushButton *visible = nullptr;
        for (QPushButton *b : o.view->indexList()->findChildren<QPushButton *>(QStringLiteral("btn_visible")))
            visible = b->isVisibleTo(o.view) ? b : visible;
        QVERIFY(visible);
        visible->click();
        QCOMPARE(seriesNames(panel->option()), QStringList{kShanghai});
        visible->click();
        QCOMPARE(seriesNames(panel->option()).size(), 2);

        // Every form is drawn by the chart without complaint (a refused
        // option would log a script error, which fails the test).
        for (const char *task : {"d_bar", "d_pie", "d_area", "d_horizontal_bar", "d_stacked_bar",
                                 "d_horizontal_stacked_bar", "d_scatter", "d_line"}) {
            QSignalSpy drawn(panel->chartView(), &HXEcharts::HXEChartsView::chartDrawn);
            click(panel, task);
            QVERIFY2(drawn.wait(10000) && drawn.first().first().toBool(), task);
        }
        QVERIFY(panel->pieFilter()->isHidden());

        // The title form starts from the first index's name; its choice is drawn.
        QString prefilled;
        onNextModal<CPBaseDialog>([&prefilled](CPBaseDialog *dialog) {
            auto *form = qobject_cast<CPDetailTitleSetting *>(dialog->content());
            prefilled = form->titleText();
            form->setValues(true, QString(), QStringLiteral("right"));
            dialog->accept();
        });
        click(panel, "d_title");
        QCOMPARE(prefilled, kShanghai);
        QCOMPARE(panel->option().value("title").toObject(), (QJsonObject{{"left", "right"}, {"text", kShanghai}}));

        // The axis form puts the second index on a right axis as bars.
        onNextModal<CPBaseDialog>([](CPBaseDialog *dialog) {
            auto *form = qobject_cast<CPXYAxisSetting *>(dialog->content());
            static_cast<QComboBox *>(form->table()->cellWidget(1, 1))->setCurrentIndex(2);
            static_cast<QComboBox *>(form->table()->cellWidget(1, 2))->setCurrentIndex(2);
            dialog->accept();
        });
        click(panel, "d_biaxial_setting");
        const QJsonObject second = panel->option().value("series").toArray().at(1).toObject();
        QCOMPARE(second.value("type").toString(), QStringLiteral("bar"));
        QCOMPARE(second.value("yAxisIndex").toInt(), 1);
        QCOMPARE(panel->option().value("yAxis").toArray().size(), 2);

        // The window buttons: the frame fills the mask and comes back.
        CPDialogContent *frame = o.dialog->mask()->content();
        const QRect placed = frame->geometry();
        auto *maximize = o.view->findChild<QPushButton *>(QStringLiteral("maximize_btn"));
        maximize->click();
        QCOMPARE(frame->geometry(), QRect(QPoint(0, 0), o.dialog->mask()->size().expandedTo(frame->minimumSize())));
        maximize->click();
        QCOMPARE(frame->geometry(), placed);

        // The picture button saves what is drawn as a PNG.
        const QString picture = m_dir.filePath(QStringLiteral("chart.png"));
        onNextModal<QFileDialog>([picture](QFileDialog *dialog) {
            dialog->selectFile(picture);
            static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        });
        panel->chartOptionView()->button("d_down_chart")->click();
        QVERIFY(!QImage(picture).isNull());

        // The K-line draws the first index and its averages.
        click(panel, "d_kline");
        QCOMPARE(seriesNames(panel->option()), (QStringList{kShanghai, "MA5", "MA10", "MA20", "MA30"}));
        QVERIFY(panel->chartOptionView()->button("d_kline")->property("selected").toBool());
        QVERIFY(!panel->chartOptionView()->button("d_line")->property("selected").toBool());

        // The season form over three years: a series per year; its own options.
        click(panel, "d_seasonal_form");
        QVERIFY(panel->isSeason());
        QVERIFY(!panel->chartOptionView()->button("d_kline")->isVisibleTo(panel));
        QCOMPARE(panel->options().chartType, 1);
        const int year = QDate::currentDate().year();
        panel->seasonQueryView()->setYears(year - 2, year);
        panel->query();
        QCOMPARE(seriesNames(panel->option()), (QStringList{QStringLiteral("%1年").arg(year - 2), QStringLiteral("%1年").arg(year - 1),
                                                             QStringLiteral("%1年").arg(year)}));
        QCOMPARE(panel->dataModel()->columnCount(), 5);

        // Back to the normal form: the K-line was kept.
        click(panel, "d_seasonal_form");
        QCOMPARE(panel->options().chartType, 10);
        // "还原" brings the defaults back.
        click(panel, "d_chart_restore");
        QCOMPARE(panel->options().chartType, 1);

        panel->chartOptionView()->button("d_show_data")->click();
        QVERIFY(panel->isDataPageShown());
        panel->dataOptionView()->button("d_show_chart")->click();
        QVERIFY(!panel->isDataPageShown());

        // The compare button folds the index list away and back.
        click(panel, "d_compare_btn");
        QVERIFY(!o.view->isSelectorShown());
        click(panel, "d_compare_btn");
        QVERIFY(o.view->isSelectorShown());
    }

    void exportWithinDailyQuota()
    {
        Opened o = open(1, kShanghai);
        CPIndexDetailChartPanel *panel = o.panel;
        WKExportManger *exports = WKExportManger::instance();
        const QString refused = QStringLiteral("导出失败|您今天导出的数据过多，请明天再试！");

        // One index in the normal form counts as two columns: refused at 499.
        m_ds.signIn("u499");
        exports->updateExportedIdxCount("u499", 499);
        QCOMPARE(exportAs(panel, "u499", QString()), refused);
        QCOMPARE(exports->getExportedIdxCount("u499"), 499);

        // The season form counts one: allowed at 499, and the 501st is refused.
        click(panel, "d_seasonal_form");
        QCOMPARE(exportAs(panel, "u499", m_dir.filePath("season")), QStringLiteral("导出数据|导出数据成功"));
        QVERIFY(QFile::exists(m_dir.filePath("season.xlsx")));
        QCOMPARE(exports->getExportedIdxCount("u499"), 500);
        QCOMPARE(exportAs(panel, "u499", QString()), refused);
        // Another user is not held back; a cancelled file dialog still counts.
        QCOMPARE(exportAs(panel, "other", QLatin1String("")), QString());
        QCOMPARE(exports->getExportedIdxCount("other"), 1);

        // The counts are the server's, whatever the terminal forgets on a restart.
        m_ds.signIn("u499");
        QCOMPARE(exports->getExportedIdxCount("u499"), 500);

        // A folder that cannot be written: an error, and no file.
        click(panel, "d_seasonal_form");
        const QString bad = m_dir.filePath("missing/x.xlsx");
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^cannot write the workbook .*missing/x.xlsx"));
        QCOMPARE(exportAs(panel, "writer", bad), QStringLiteral("错误|导出数据失败"));
        QVERIFY(!QFile::exists(bad));
    }

    void workbookHoldsTheTable()
    {
        Opened o = open(1, kShanghai);
        o.view->indexList()->setSelection({indexRow(4, QStringLiteral("螺纹钢:全国均价"))});
        CPIndexDetailChartPanel *panel = o.panel;
        QTRY_COMPARE(panel->dataModel()->columnCount(), 4);
        const QString path = m_dir.filePath("book.XLSX");
        QCOMPARE(exportAs(panel, "reader", path), QStringLiteral("导出数据|导出数据成功"));
        QVERIFY(QFile::exists(path + ".xlsx")); // the extension is checked case-sensitively

        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), {QFINDTESTDATA("readworkbook.py"), path + ".xlsx"});
        QVERIFY(python.waitForFinished(30000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        const QJsonObject book = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
        // The table of the panel, every row of it (the service's test holds how cells are written).
        QHash<QString, QString> cells;
        for (const QJsonValue &c : book.value("cells").toArray())
            cells.insert(c.toObject().value("ref").toString(), c.toObject().value("value").toVariant().toString());
        QCOMPARE(QStringList({cells.value("B1"), cells.value("C1"), cells.value("D1")}),
                 QStringList({"发布日期", kShanghai, "螺纹钢:全国均价"}));
        const int last = panel->dataModel()->rowCount() - 1;
        QCOMPARE(QStringList({cells.value(QString("A%1").arg(last + 2)), cells.value(QString("B%1").arg(last + 2))}),
                 QStringList({QString::number(last + 1), panel->dataModel()->item(last, 1)->text()}));
    }

    // Failing or empty answers leave an empty chart, never a crash.
    void badAnswers()
    {
        m_ds.failObject("ZRN_GENERAL_INDEX_1");
        m_ds.failObject("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1");
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^CPIndexDetailIndexSelectorView::resetData error: "));
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^IndexChartView::loadData error: "));
        Opened o = open(999, QStringLiteral("无此指标"));
        QCOMPARE(o.view->indexList()->indexes().first().value("INDEX_NAME").toString(), QStringLiteral("无此指标"));
        QCOMPARE(o.panel->dataModel()->rowCount(), 0);
        QVERIFY(!o.panel->chartOptionView()->button("d_seasonal_form")->isVisibleTo(o.panel));
        // An empty pie and an empty K-line are drawn as empty charts.
        for (const char *task : {"d_pie", "d_kline"}) {
            QSignalSpy drawn(o.panel->chartView(), &HXEcharts::HXEChartsView::chartDrawn);
            click(o.panel, task);
            QVERIFY2(drawn.wait(10000) && drawn.first().first().toBool(), task);
        }
        m_ds.failObject("ZRN_GENERAL_INDEX_1", false);
        m_ds.failObject("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1", false);
    }
};

QTEST_MAIN(TstIndexDetailDialog)

#include "tst_indexdetaildialog.moc"
