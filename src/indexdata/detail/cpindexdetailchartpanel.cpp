#include "cpindexdetailchartpanel.h"

#include "ui_cpindexdetailchartpanel.h"

#include "charts/hxoptionfilterbasewidget.h"
#include "common/logging.h"
#include "cpindexdetailchart.h"
#include "cpdetailtitlesetting.h"
#include "cpindexdetailoptionview.h"
#include "cpindexdetailqueryview.h"
#include "cpxyaxissetting.h"
#include "editor/cpbasedialog.h"
#include "hxdataapi/hxdatasourceservice.h"
#include "hxecharts/hxechartsview.h"
#include "indexdata/cpindexdataservice.h"
#include "wk/wkappconfig.h"
#include "wk/wkexportmanger.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace HXCPControls {

CPIndexDetailChartPanel::CPIndexDetailChartPanel(QWidget *parent, const CPIndexDetailSource &source)
    : QWidget(parent)
    , ui(new Ui::CPIndexDetailChartPanel)
    , m_source(source)
    , m_datasource(new HXDataApi::HXDatasourceService)
    , m_model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("HXCPControls::CPIndexDetailChartPanel"));
    m_options[CPDetailChartOptions::Season].form = CPDetailChartOptions::Season;

    m_chartOptions = new CPIndexDetailChartOptionView(ui->chart_page);
    ui->chart_option_layout->addWidget(m_chartOptions);
    m_queryView = new CPIndexDetailQueryView(ui->chart_page);
    m_seasonQueryView = new CPIndexDetailSeasonQueryView(ui->chart_page);
    m_seasonQueryView->hide();
    m_pieFilter = new HXPieChartFilterWidget(ui->chart_page);
    m_pieFilter->hide();
    ui->chart_query_layout->addWidget(m_queryView, 1);
    ui->chart_query_layout->addWidget(m_seasonQueryView, 1);
    ui->chart_query_layout->addWidget(m_pieFilter);
    m_chartView = new HXEcharts::HXEChartsView(ui->chart_page, QJsonArray());
    m_chartView->setStandalone(true);
    m_chartView->setContainerObjectName(objectName());
    ui->chart_layout->addWidget(m_chartView, 1);

    m_dataOptions = new CPIndexDetailDataOptionView(ui->data_page);
    ui->data_option_layout->addWidget(m_dataOptions);
    QTableView *table = ui->data_table_view;
    table->setModel(m_model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionsClickable(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    ui->stackedWidget->setCurrentWidget(ui->chart_page);

    connect(m_chartOptions, qOverload<const QString &, bool, bool>(&CPIndexDetailChartOptionView::exec), this,
            &CPIndexDetailChartPanel::exec);
    connect(m_dataOptions, &CPIndexDetailDataOptionView::exec, this, &CPIndexDetailChartPanel::execData);
    connect(m_queryView, &CPIndexDetailQueryView::query, this, &CPIndexDetailChartPanel::query);
    connect(m_seasonQueryView, &CPIndexDetailSeasonQueryView::query, this, &CPIndexDetailChartPanel::query);
    connect(m_pieFilter, &HXOptionFilterBaseWidget::configChanged, this, [this] {
        m_option = m_pieFilter->filter(m_option);
        m_chartView->addCharts(m_option, true);
    });
    mirror();
}

CPIndexDetailChartPanel::~CPIndexDetailChartPanel()
{
    delete m_datasource;
}

bool CPIndexDetailChartPanel::isDataPageShown() const
{
    return ui->stackedWidget->currentWidget() == ui->data_page;
}

void CPIndexDetailChartPanel::setIndexes(const QList<QVariantMap> &indexes)
{
    m_indexes = indexes;
    if (!m_options[CPDetailChartOptions::Normal].initialised && !indexes.isEmpty())
        resetOptions(CPDetailChartOptions::Normal);
    mirror();
    query();
}

void CPIndexDetailChartPanel::resetOptions(int form)
{
    CPDetailChartOptions &o = m_options[form];
    bool readable = true;
    const QVariantMap first = m_indexes.value(0);
    if (o.frequencyCode == -1 && CPDetailChartOptions::defaultFrequencyCode(first, &readable) == -1 && !readable)
        qCWarning(lcIndexData).noquote() << "index" << first.value(QStringLiteral("IDX_ID")).toString()
                                         << "has unreadable INDEX_PARAMS; the season form is not offered";
    o.reset(form, first, QDate::currentDate());
    if (form == CPDetailChartOptions::Season)
        m_seasonQueryView->setYears(o.startDate.year(), o.endDate.year());
}

void CPIndexDetailChartPanel::mirror()
{
    m_chartOptions->mirror(options(), m_isSeason);
    m_pieFilter->setVisible(options().chartType == CPDetailChartOptions::Pie);
}

void CPIndexDetailChartPanel::exec(const QString &task, bool selected, bool isChart)
{
    if (task == QLatin1String("d_compare_btn")) {
        emit toggleSelectorView();
        return;
    }
    if (task == QLatin1String("d_show_data")) {
        ui->stackedWidget->setCurrentWidget(ui->data_page);
        return;
    }
    if (task == QLatin1String("d_down_chart")) {
        m_chartView->saveToImage();
        return;
    }
    if (task == QLatin1String("d_seasonal_form")) {
        m_isSeason = selected;
        if (m_isSeason && !m_options[CPDetailChartOptions::Season].initialised)
            resetOptions(CPDetailChartOptions::Season);
        m_seasonQueryView->setVisible(m_isSeason);
        m_queryView->setVisible(!m_isSeason);
        mirror();
        emit switchSeasonMode(m_isSeason);
        query();
        return;
    }
    CPDetailChartOptions &o = options();
    if (isChart) {
        o.chartType = CPDetailChartOptions::chartTypeOfTask(task);
    } else if (task == QLatin1String("d_legend")) {
        o.showLegend = selected;
    } else if (task == QLatin1String("d_range")) {
        o.showMarks = selected;
    } else if (task == QLatin1String("d_horizontal_net")) {
        o.showGridLines = selected;
    } else if (task == QLatin1String("d_chart_restore")) {
        resetOptions(o.form);
    } else if (task == QLatin1String("d_title")) {
        editTitle();
    } else if (task == QLatin1String("d_biaxial_setting")) {
        editAxes();
    }
    mirror();
    showChart();
}

void CPIndexDetailChartPanel::execData(const QString &task)
{
    if (task == QLatin1String("d_show_chart"))
        ui->stackedWidget->setCurrentWidget(ui->chart_page);
    else if (task == QLatin1String("d_down_data"))
        exportData();
}

void CPIndexDetailChartPanel::editTitle()
{
    CPDetailChartOptions &o = options();
    auto *form = new CPDetailTitleSetting;
    const QString text = o.titleText.isEmpty() ? m_indexes.value(0).value(QStringLiteral("INDEX_NAME")).toString()
                                               : o.titleText;
    form->setValues(o.showTitle, text, o.titleAlign);
    CPBaseDialog dialog(this, QStringLiteral("   标题设置"), form, QStringLiteral("controls/custompage.css"));
    dialog.setFixedSize(524, 216);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    o.showTitle = form->isShowTitle();
    o.titleText = form->titleText();
    o.titleAlign = form->alignment();
}

void CPIndexDetailChartPanel::editAxes()
{
    CPDetailChartOptions &o = options();
    auto *form = new CPXYAxisSetting;
    form->setIndexes(m_indexes, o.axisSettings);
    CPBaseDialog dialog(this, QStringLiteral("   坐标轴设置"), form, QStringLiteral("controls/custompage.css"));
    dialog.setFixedSize(630, 500);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    o.axisSettings = form->settings();
}

void CPIndexDetailChartPanel::query()
{
    // The value queries wait in a local event loop, in which answers to other
    // requests may start a newer query; only the newest one is shown.
    const int generation = ++m_queryGeneration;
    if (m_isSeason)
        loadSeason(generation);
    else
        loadNormal(generation);
    if (generation == m_queryGeneration)
        showChart();
}

void CPIndexDetailChartPanel::loadNormal(int generation)
{
    CPDetailChartOptions &o = m_options[CPDetailChartOptions::Normal];
    o.startDate = m_queryView->startDate();
    o.endDate = m_queryView->endDate();
    if (m_indexes.isEmpty())
        return;
    QList<qint64> ids;
    for (const QVariantMap &index : qAsConst(m_indexes))
        ids.append(CPIndexDetailChart::indexId(index.value(QStringLiteral("IDX_ID"))));
    const QString valueObj = m_indexes.first().value(QStringLiteral("idxValueDsName"), m_source.valueObjName).toString();
    HXDataApi::HttpJsonResult result;
    CPIndexDataService::getIndexValues(m_datasource, valueObj, ids, o.startDate, o.endDate, result);
    if (generation != m_queryGeneration)
        return;
    if (!result.success) {
        qCWarning(lcIndexData).noquote() << "IndexChartView::loadData error: " << result.errorMsg;
        return;
    }
    m_datasets[CPDetailChartOptions::Normal] = CPIndexDetailChart::normalDataset(result.data.array(), m_indexes);
    CPIndexDetailChart::fillTable(m_model, m_datasets[CPDetailChartOptions::Normal], CPDetailChartOptions::Normal, 0);
    fitNumberColumn();
}

void CPIndexDetailChartPanel::loadSeason(int generation)
{
    CPDetailChartOptions &o = m_options[CPDetailChartOptions::Season];
    const int startYear = m_seasonQueryView->startYear();
    const int endYear = m_seasonQueryView->endYear();
    o.startDate = m_seasonQueryView->startDate();
    o.endDate = m_seasonQueryView->endDate();
    const int frequency = o.frequencyCode;
    CPDetailDataset &data = m_datasets[CPDetailChartOptions::Season];
    if (m_indexes.isEmpty() || frequency == -1 || startYear > endYear) {
        // Nothing to ask for: an empty chart and an empty table.
        data = CPIndexDetailChart::seasonDataset(QJsonArray(), frequency, startYear, endYear);
        CPIndexDetailChart::fillTable(m_model, data, CPDetailChartOptions::Season, frequency);
        return;
    }
    const QVariantMap first = m_indexes.first();
    const QString valueObj = first.value(QStringLiteral("idxValueDsName"), m_source.valueObjName).toString();
    HXDataApi::HttpJsonResult result;
    CPIndexDataService::getIndexValuesByFrequency(m_datasource, valueObj, CPIndexDetailChart::indexId(first.value(QStringLiteral("IDX_ID"))),
                                                  frequency, o.startDate, o.endDate, result);
    if (generation != m_queryGeneration)
        return;
    if (!result.success) {
        qCWarning(lcIndexData).noquote() << "IndexChartView::loadData error: " << result.errorMsg;
        return;
    }
    data = CPIndexDetailChart::seasonDataset(result.data.array(), frequency, startYear, endYear);
    CPIndexDetailChart::fillTable(m_model, data, CPDetailChartOptions::Season, frequency);
    fitNumberColumn();
}

void CPIndexDetailChartPanel::fitNumberColumn()
{
    QHeaderView *header = ui->data_table_view->horizontalHeader();
    if (m_model->columnCount() > 0)
        header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

void CPIndexDetailChartPanel::showChart()
{
    const QList<QVariantMap> shown = m_isSeason ? m_indexes.mid(0, 1) : m_indexes;
    m_option = CPIndexDetailChart::buildOption(options(), {dataset()}, shown);
    if (options().chartType == CPDetailChartOptions::Pie) {
        const QString previous = m_pieFilter->currentChoice();
        m_pieFilter->apply(m_option);
        if (m_pieFilter->choices().contains(previous)) {
            const QSignalBlocker quiet(m_pieFilter);
            m_pieFilter->setCurrentChoice(previous);
        }
        // Without values there is no category to choose: the chart stays empty.
        if (!m_pieFilter->choices().isEmpty())
            m_option = m_pieFilter->filter(m_option);
    }
    m_chartView->addCharts(m_option, false);
}

int CPIndexDetailChartPanel::exportCount(bool isSeason, int columnCount)
{
    return isSeason ? 1 : qMax(0, columnCount - 1);
}

QString CPIndexDetailChartPanel::proposedFileName(const QString &folder, const QDateTime &now)
{
    return QDir(folder).filePath(QStringLiteral("新建工作簿_") + now.toString(QStringLiteral("yyyyMMddhhmmss")));
}

QString CPIndexDetailChartPanel::withExtension(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".xlsx")) ? fileName : fileName + QLatin1String(".xlsx");
}

bool CPIndexDetailChartPanel::writeWorkbook(QStandardItemModel *model, const QString &fileName)
{
    // The workbook is made aside and then replaces the target in one step, so
    // a failure leaves no half-written file where the user asked for one.
    QTemporaryDir scratch;
    const QString made = scratch.filePath(QStringLiteral("export.xlsx"));
    if (!scratch.isValid() || !CPIndexDataService::exportToExcel(model, made))
        return false;
    QFile in(made);
    QSaveFile out(fileName);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0
        || !out.commit()) {
        qCWarning(lcIndexData).noquote() << "cannot write the workbook" << fileName << ":" << out.errorString();
        return false;
    }
    return true;
}

void CPIndexDetailChartPanel::exportData()
{
    const int count = exportCount(m_isSeason, m_model->columnCount());
    const QString user = WKAppConfig::instance()->getUserInfo().userId;
    WKExportManger *exports = WKExportManger::instance();
    if (!quotaAllows(exports->getExportedIdxCount(user), count)) {
        QMessageBox::information(this, QStringLiteral("导出失败"), QStringLiteral("您今天导出的数据过多，请明天再试！"));
        return;
    }
    // Counted before the file is chosen: a cancelled dialog still counts.
    exports->updateExportedIdxCount(user, count);
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString fileName = QFileDialog::getSaveFileName(this, QStringLiteral("文件保存"),
                                                    proposedFileName(folder, QDateTime::currentDateTime()),
                                                    QStringLiteral("Excel工作簿(*.xlsx)"));
    if (fileName.isEmpty())
        return;
    fileName = withExtension(fileName);
    if (writeWorkbook(m_model, fileName))
        QMessageBox::information(this, QStringLiteral("导出数据"), QStringLiteral("导出数据成功"));
    else
        QMessageBox::critical(this, QStringLiteral("错误"), QStringLiteral("导出数据失败"));
}

} // namespace HXCPControls
