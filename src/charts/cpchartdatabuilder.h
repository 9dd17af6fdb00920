#pragma once

#include "charttypeinfo.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPair>
#include <QStringList>
#include <QVariantMap>

namespace HXCPControls {

// Reshapes datasource value rows into one ECharts dataset: `dimensions`
// ("header" first, then one name per series) and `source` (one object per
// row keyed by dimension). Calculated indices are evaluated per date.
class HXCPCONTROLS_EXPORT CPChartDataBuilder
{
public:
    using Result = QPair<QJsonArray, QJsonArray>; // (dimensions, source)

    // Query type 1 gives one row per date in ascending order with a column per
    // series; any other type one row per record ("header": series name,
    // "value": its value), the shape of pie and map charts.
    static Result makeData(int queryType, const QJsonDocument &doc, const QList<Dimension> &dimensions,
                           const QString &idField, const QString &valueField, const QString &dateField,
                           const QVariantMap &calIndexes, const QList<qlonglong> &idList);

    // The seasonal form: one column per year of `dimensions` ("2024年"), one
    // row per month (frequency 12), quarter (4) or month and day (others).
    static Result makeSeasonData(int frequencyCode, const QJsonDocument &doc, const QList<Dimension> &dimensions,
                                 const QString &valueField, const QString &dateField, const QVariantMap &calIndexes,
                                 const QList<qlonglong> &idList);

    // "header" and the year columns of a seasonal chart.
    static QStringList seasonDimensions(const QVariantMap &seasonQuery);
    static QStringList seasonDimensions(const QVariantMap &seasonQuery, const QDate &today);
};

} // namespace HXCPControls
