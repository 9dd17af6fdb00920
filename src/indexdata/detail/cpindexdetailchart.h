#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpdetailchartoptions.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QVariantMap>

class QStandardItemModel;

namespace HXCPControls {

// One dataset of the detail chart: "header" and the series names as
// dimensions, and rows that start with their category (a date or a season
// period) followed by one value per series (null where there is none).
struct HXCPCONTROLS_EXPORT CPDetailDataset
{
    QStringList dimensions{QStringLiteral("header")};
    QJsonArray source;

    QJsonObject toJson() const;
    bool isEmpty() const { return source.isEmpty(); }
};

// The data shaping and the ECharts option of the index detail chart, apart
// from any widget.
namespace CPIndexDetailChart {

// The value rows (IDX_ID, PUBLISH_DT, INDEX_VAL) of the shown indices
// grouped into one row per publication date, oldest first.
HXCPCONTROLS_EXPORT CPDetailDataset normalDataset(const QJsonArray &valueRows, const QList<QVariantMap> &indexes);

// One index's values regrouped by year: a row per month ("01月份"), quarter
// ("1季度") or, for other frequencies, per day of the year present in the
// data ("03月15日"), and a series per year ("2024年") from `startYear` to `endYear`.
HXCPCONTROLS_EXPORT CPDetailDataset seasonDataset(const QJsonArray &valueRows, int frequencyCode, int startYear,
                                                  int endYear);

// The caption of the period column of the season table.
HXCPCONTROLS_EXPORT QString seasonPeriodCaption(int frequencyCode);

// Refills the data table: a row number column, the category column and one
// column per series. Display texts show "-" for a missing value; the export
// reads the values under Qt::UserRole + 1.
HXCPCONTROLS_EXPORT void fillTable(QStandardItemModel *model, const CPDetailDataset &dataset, int form,
                                   int seasonFrequencyCode);

// The option drawn for `options` over `datasets`; `indexes` are the shown
// index rows in series order (the first one names the K-line, the unit and
// the default title). The pie filter is applied by the caller.
HXCPCONTROLS_EXPORT QJsonObject buildOption(const CPDetailChartOptions &options,
                                            const QList<CPDetailDataset> &datasets,
                                            const QList<QVariantMap> &indexes);

// The moving average over `n` points: "-" for the first `n` positions, then
// the mean of the value and the n - 1 before it (a missing value counts as 0).
HXCPCONTROLS_EXPORT QJsonArray movingAverage(const QJsonArray &values, int n);

// The colours of the series, in order.
HXCPCONTROLS_EXPORT QJsonArray palette();

// An index row's ID (IDX_ID arrives as a JSON number, that is a double).
HXCPCONTROLS_EXPORT qint64 indexId(const QVariant &value);
// An index row's unit: INDEX_UNIT, else UNIT_NAME.
HXCPCONTROLS_EXPORT QString indexUnit(const QVariantMap &index);

// A number, or null for anything else (missing, null, text).
HXCPCONTROLS_EXPORT QJsonValue numericValue(const QJsonValue &value);

} // namespace CPIndexDetailChart

} // namespace HXCPControls
