#pragma once

#include "common/hxcpcontrols_global.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QVariantMap>

namespace HXCPControls {

// How one index is drawn when the chart mixes forms or axes.
struct HXCPCONTROLS_EXPORT CPAxisSetting
{
    int lineType = 0;   // 0 as the chart, 1 line, 2 bar
    int axisIndex = -1; // -1 as the chart, 0 left, 1 right
    QString unit;

    bool operator==(const CPAxisSetting &o) const
    {
        return lineType == o.lineType && axisIndex == o.axisIndex && unit == o.unit;
    }
};

// The chart settings of one form of the detail chart (normal or season).
struct HXCPCONTROLS_EXPORT CPDetailChartOptions
{
    enum Form { Normal = 0, Season = 1 };
    enum ChartType {
        Line = 1, Bar = 2, Pie = 3, Area = 4, HorizontalBar = 6, StackedBar = 7, HorizontalStackedBar = 8,
        Scatter = 9, KLine = 10
    };

    int form = Normal;
    int chartType = Line;
    bool showLegend = true;
    bool showGridLines = false;
    bool showMarks = false;
    bool seasonAvailable = false;
    bool showTitle = false;
    QString titleText;
    QString titleAlign = QStringLiteral("center");
    int frequencyCode = -1;
    QDate startDate;
    QDate endDate;
    QMap<qint64, CPAxisSetting> axisSettings;
    // False until the form is first used (and reset).
    bool initialised = false;

    // Back to the defaults ("还原" and the first use of a form). The first
    // index's row gives the frequency; the season form gets four years back
    // from `today` when it has no range yet.
    void reset(int formMarker, const QVariantMap &firstIndex, const QDate &today);

    // The default frequency code written in an index row's INDEX_PARAMS; -1
    // when there is none or the text is not readable.
    static int defaultFrequencyCode(const QVariantMap &indexRow, bool *readable = nullptr);
    // The chart type of a tool button task ("d_line" ...); 1 for an unknown task.
    static int chartTypeOfTask(const QString &task);
    // The tool button task of a chart type.
    static QString taskOfChartType(int chartType);
};

} // namespace HXCPControls
