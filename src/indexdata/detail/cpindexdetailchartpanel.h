#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpdetailchartoptions.h"
#include "cpindexdetailchart.h"
#include "cpindexdetailrequest.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QVariantMap>
#include <QWidget>

#include <memory>

namespace Ui {
class CPIndexDetailChartPanel;
}
class QStandardItemModel;

namespace HXDataApi {
class HXDatasourceService;
}
namespace HXEcharts {
class HXEChartsView;
}

namespace HXCPControls {

class CPIndexDetailChartOptionView;
class CPIndexDetailDataOptionView;
class CPIndexDetailQueryView;
class CPIndexDetailSeasonQueryView;
class HXPieChartFilterWidget;

// The right side of the detail dialog: the chart page (tool buttons, the
// date or year range, the chart) and the data page (the values as a table,
// which is also what the export writes).
class HXCPCONTROLS_EXPORT CPIndexDetailChartPanel : public QWidget
{
    Q_OBJECT
public:
    // Largest number of indices one user may export in a day.
    static constexpr int kDailyExportQuota = 500;

    explicit CPIndexDetailChartPanel(QWidget *parent = nullptr,
                                     const CPIndexDetailSource &source = CPIndexDetailSource());
    ~CPIndexDetailChartPanel() override;

    // The shown indices (the first one required); reloads and redraws.
    void setIndexes(const QList<QVariantMap> &indexes);
    QList<QVariantMap> indexes() const { return m_indexes; }

    bool isSeason() const { return m_isSeason; }
    const CPDetailChartOptions &options() const { return m_options[m_isSeason ? 1 : 0]; }
    CPDetailChartOptions &options() { return m_options[m_isSeason ? 1 : 0]; }
    CPDetailDataset dataset() const { return m_datasets[m_isSeason ? 1 : 0]; }
    QJsonObject option() const { return m_option; }
    QStandardItemModel *dataModel() const { return m_model; }
    HXEcharts::HXEChartsView *chartView() const { return m_chartView; }
    CPIndexDetailChartOptionView *chartOptionView() const { return m_chartOptions; }
    CPIndexDetailDataOptionView *dataOptionView() const { return m_dataOptions; }
    CPIndexDetailQueryView *queryView() const { return m_queryView; }
    CPIndexDetailSeasonQueryView *seasonQueryView() const { return m_seasonQueryView; }
    HXPieChartFilterWidget *pieFilter() const { return m_pieFilter; }
    bool isDataPageShown() const;

    // Export rules: what an export counts against the quota, whether the
    // quota allows it, the proposed file name and the name made final.
    static int exportCount(bool isSeason, int columnCount);
    static bool quotaAllows(int exportedToday, int count) { return exportedToday + count <= kDailyExportQuota; }
    static QString proposedFileName(const QString &folder, const QDateTime &now);
    static QString withExtension(const QString &fileName);
    // Writes the model to `fileName` whole or not at all.
    static bool writeWorkbook(QStandardItemModel *model, const QString &fileName);

public slots:
    void showChart();
    void exec(const QString &task, bool selected, bool isChart);
    void execData(const QString &task);
    // Loads the values of the form in use for its range and redraws.
    void query();
    // Runs the export: quota, file name, workbook, boxes.
    void exportData();

signals:
    void toggleSelectorView();
    void switchSeasonMode(bool isSeason);

private:
    void loadNormal(int generation);
    void loadSeason(int generation);
    void resetOptions(int form);
    void fitNumberColumn();
    void mirror();
    void editTitle();
    void editAxes();

    std::unique_ptr<Ui::CPIndexDetailChartPanel> ui;
    CPIndexDetailSource m_source;
    HXDataApi::HXDatasourceService *m_datasource;
    HXEcharts::HXEChartsView *m_chartView;
    CPIndexDetailChartOptionView *m_chartOptions;
    CPIndexDetailDataOptionView *m_dataOptions;
    CPIndexDetailQueryView *m_queryView;
    CPIndexDetailSeasonQueryView *m_seasonQueryView;
    HXPieChartFilterWidget *m_pieFilter;
    QStandardItemModel *m_model;
    QList<QVariantMap> m_indexes;
    CPDetailChartOptions m_options[2];
    CPDetailDataset m_datasets[2];
    QJsonObject m_option;
    bool m_isSeason = false;
    int m_queryGeneration = 0;
};

} // namespace HXCPControls
