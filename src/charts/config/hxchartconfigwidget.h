#pragma once

#include "charts/charttypeinfo.h"
#include "charts/cpindexchartinfo.h"
#include "editor/cpbasewidget.h"

#include <QJsonDocument>
#include <QList>
#include <QVariantMap>

#include <memory>

namespace Ui {
class HXChartConfigWidget;
}
class QButtonGroup;
class QStandardItemModel;
class QTableView;

namespace HXCPControls {

class CPChartsService;
class CPIndexDataService;
class HXChartConfigControl;
class HXTitleCfgWidget;

// The settings of a chart component: its title, the chosen indices (with
// calculated ones), the chart type, query and options, and a live preview.
class HXCPCONTROLS_EXPORT HXChartConfigWidget : public CPBaseWidget
{
    Q_OBJECT
public:
    HXChartConfigWidget(QWidget *parent, CPIndexChartInfo info);
    ~HXChartConfigWidget() override;

    // Shows a stored configuration; the index rows are read again from the
    // index datasource to bring names, units and frequencies up to date.
    void setConfig(const CPIndexChartConfig &config);
    // The edited configuration ("version" "v2").
    CPIndexChartConfig config() const;

    QList<QVariantMap> indexes() const { return m_indexes; }
    bool isSeason() const { return m_isSeason; }
    HXChartConfigControl *control() const { return m_control; }
    HXTitleCfgWidget *titleWidget() const { return m_title; }
    QTableView *indexTable() const;
    // Moves an entry, as dragging a row header of the table does.
    void moveIndex(int from, int to);
    // The ID of the next new calculated entry: one below the smallest one, from −1.
    qint64 nextCalculatedId() const;

signals:
    // The preview has been drawn from a query answer.
    void previewUpdated();

private slots:
    void contextMenu(QPoint pos);
    void deleteIndex(int row);
    void showSelectIndex();
    void showCalIndex(int index);
    void makeData(QJsonDocument doc, QList<HXCPControls::Dimension> dimensions, QVariantMap calIndexes,
                  QList<qlonglong> idxList);
    void makeData(QJsonDocument doc, QList<HXCPControls::Dimension> dimensions, QVariantMap calIndexes);
    void makeData(QJsonDocument doc, QList<HXCPControls::Dimension> dimensions);
    void invokeMessageError(QString msg);

private:
    void refreshIndexes();
    void refreshTable();
    void refreshPreview();
    void switchForm(bool isSeason);
    void storeControl(CPIndexChartConfig &config) const;
    void ensureSeasonEntry();
    QVariantMap keptFields(const QVariantMap &row) const;

    std::unique_ptr<Ui::HXChartConfigWidget> ui;
    CPIndexChartInfo m_info;
    CPIndexChartConfig m_config;
    QList<QVariantMap> m_indexes;
    HXTitleCfgWidget *m_title;
    QStandardItemModel *m_model;
    std::unique_ptr<CPChartsService> m_chartsService;
    CPIndexDataService *m_indexService;
    HXChartConfigControl *m_control;
    QButtonGroup *m_seasonGroup = nullptr;
    QVariantMap m_units;
    int m_seasonFrequency = 0;
    bool m_isSeason = false;
    int m_generation = 0;
};

} // namespace HXCPControls
