#pragma once

#include "cpchartsservice.h"
#include "cpindexchartinfo.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QWidget>

class QHBoxLayout;
class QVBoxLayout;

namespace HXEcharts {
class HXEChartsView;
}

namespace HXCPControls {

class CPSplitView;
class HXPieChartFilterWidget;

// Shows one chart of a chart component: queries the values of the configured
// indices, shapes them into a dataset, builds the option and draws it in its
// ECharts view. Pie and section charts get a column picker above the chart.
class HXCPCONTROLS_EXPORT CPIndexChartView : public QWidget
{
    Q_OBJECT
public:
    // What a configuration asks to load: the series, the IDs to query, the
    // calculated indices and the unit of every series.
    struct LoadPlan
    {
        QList<Dimension> dimensions;
        QList<qlonglong> ids;
        QVariantMap calIndexes;
        QVariantMap units;
        int seasonFrequency = 0;
    };
    static LoadPlan loadPlan(const CPIndexChartInfo &info, const CPIndexChartConfig &config);

    CPIndexChartView(QWidget *parent, CPIndexChartInfo info);
    ~CPIndexChartView() override;

    // Applies a configuration and reloads; a configuration without indices or
    // without any option configuration is ignored.
    void setConfig(const CPIndexChartConfig &config);
    CPIndexChartConfig config() const { return m_config; }
    CPIndexChartInfo info() const { return m_info; }
    ChartTypeInfo chartType() const { return m_chartType; }

    HXEcharts::HXEChartsView *chartsView() const { return m_chartsView; }
    HXPieChartFilterWidget *filterWidget() const { return m_filterWidget; }
    QJsonObject lastOption() const { return m_lastOption; }
    CPSplitView *splitView() const;

signals:
    // A new option has been built and handed to the chart view.
    void chartUpdated();
    // A query failed; the last chart stays.
    void loadFailed(const QString &message);

private slots:
    void loadIndexData(QJsonDocument doc, QList<HXCPControls::Dimension> dimensions, QVariantMap calIndexes,
                       QList<qlonglong> idxList);
    void loadIndexData(QJsonDocument doc, QList<HXCPControls::Dimension> dimensions, QVariantMap calIndexes);
    void loadIndexData(QJsonDocument doc, QList<HXCPControls::Dimension> dimensions);
    void invokeMessageError(QString msg);

private:
    void load();
    void applyFilter();
    QVariantMap &optionCfgInUse();

    CPIndexChartInfo m_info;
    CPIndexChartConfig m_config;
    ChartTypeInfo m_chartType;
    CPChartsService *m_service;
    QVBoxLayout *m_mainLayout;
    QHBoxLayout *m_chartLayout;
    HXEcharts::HXEChartsView *m_chartsView;
    HXPieChartFilterWidget *m_filterWidget = nullptr;
    QJsonObject m_lastOption;
    QPointer<QWidget> m_splitView; // a CPSplitView
    int m_queryType = 1;
    int m_generation = 0;
};

} // namespace HXCPControls
