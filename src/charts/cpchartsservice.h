#pragma once

#include "common/hxcpcontrols_global.h"

#include "hxdataapi/httpjsonresult.h"
#include "hxdataapi/hxdsrequest.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace HXDataApi {
class HXDatasourceService;
}

namespace HXCPControls {

// The datasource queries of a chart: the values of its indices since a start
// date, all rows of a set of IDs (the map's latest prices) and the seasonal
// query over a range of years. Every callback runs once on the GUI thread.
class HXCPCONTROLS_EXPORT CPChartsService
{
public:
    using Callback = std::function<void(const HXDataApi::HttpJsonResult &)>;

    CPChartsService();
    ~CPChartsService();
    CPChartsService(const CPChartsService &) = delete;
    CPChartsService &operator=(const CPChartsService &) = delete;

    // `startDate` is "[yyyy-MM-dd]" or empty (no date bound).
    void getIndexData(const QString &objName, const QList<qlonglong> &ids, const QString &startDate, Callback callback);
    void getIndexDataByIds(const QString &objName, const QList<qlonglong> &ids, Callback callback);
    // Query type 1 asks for dated values from the query's start date; any
    // other type for the rows of the IDs.
    void queryChartData(const QString &objName, int queryType, const QList<qlonglong> &ids, const QVariantMap &query,
                        Callback callback);
    void querySeasonData(const QString &objName, const QList<qlonglong> &ids, int frequencyCode,
                         const QVariantMap &seasonQuery, Callback callback);

    // First and last day ("yyyy-MM-dd") of the years of a seasonal chart.
    static QPair<QString, QString> seasonRange(const QVariantMap &seasonQuery);
    static QPair<QString, QString> seasonRange(const QVariantMap &seasonQuery, const QDate &today);
    // The start date ("[yyyy-MM-dd]") of a dated chart query.
    static QString startDate(const QVariantMap &query, const QDate &today);

    // The requests as they are sent.
    static HXDataApi::HXDsRequest indexDataRequest(const QString &objName, const QList<qlonglong> &ids,
                                                   const QString &startDate);
    static HXDataApi::HXDsRequest indexDataByIdsRequest(const QString &objName, const QList<qlonglong> &ids);
    static HXDataApi::HXDsRequest seasonDataRequest(const QString &objName, const QList<qlonglong> &ids,
                                                    int frequencyCode, const QVariantMap &seasonQuery,
                                                    const QDate &today);

private:
    HXDataApi::HXDatasourceService *m_service;
};

} // namespace HXCPControls
