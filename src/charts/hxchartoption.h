#pragma once

#include "charttypeinfo.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QStringList>
#include <QVariantMap>

namespace HXEcharts {
class HXEChartsView;
}

namespace HXCPControls {

class HXOptionFilterBaseWidget;

// Builds ECharts options from a chart dataset and an option configuration
// (the "type", the "units" of the series and one entry per option item,
// keyed "HXCPControls::<class>"), and hands them to the chart view.
class HXCPCONTROLS_EXPORT HXChartOption
{
public:
    // Runs the builders of `fullLists[type]` in order over the dataset of
    // `currentOption`; a filter widget is filled from the result.
    static QJsonObject makeOption(const ChartTypeInfo &chartType, const QMap<int, QStringList> &fullLists,
                                  const QVariantMap &cfg, HXOptionFilterBaseWidget *filterWidget,
                                  const QJsonObject &currentOption);
    // Sets the palette and draws, when there is a view.
    static void showOption(HXEcharts::HXEChartsView *view, const ChartTypeInfo &chartType, QJsonObject &option);

    static QJsonArray palette();
    static void applyPalette(QJsonObject &option);

    // The builders, one per option item.
    static void buildSeries(const QVariantMap &cfg, QJsonObject &option);
    static void buildAxis(const QVariantMap &cfg, QJsonObject &option);
    static void buildLegend(const QVariantMap &cfg, QJsonObject &option);
    static void buildTitle(const QVariantMap &cfg, QJsonObject &option);
    static void buildToolTip(const QVariantMap &cfg, QJsonObject &option);
    static void buildToolBox(const QVariantMap &cfg, QJsonObject &option);
    static void buildGrid(const QVariantMap &cfg, QJsonObject &option);
    static void buildMap(const QVariantMap &cfg, QJsonObject &option);
    static void buildPie(const QVariantMap &cfg, QJsonObject &option);
    static void buildUnit(const QVariantMap &cfg, QJsonObject &option);

    // Per series (in order), whether its unit sends it to the right axis: with
    // more than one unit, each series whose unit differs from the one before.
    static QList<bool> rightAxisByUnit(const QStringList &seriesNames, const QVariantMap &units);

    // The second dataset of pie and section charts: the first dataset with
    // rows and columns swapped.
    static QJsonObject transposedDataset(const QJsonObject &dataset);

    // Entry of an option item in a configuration ("HXCPControls::" + name).
    static bool hasEntry(const QVariantMap &cfg, const char *className);
    static QVariantMap entry(const QVariantMap &cfg, const char *className);
};

} // namespace HXCPControls
