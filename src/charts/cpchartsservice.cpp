#include "cpchartsservice.h"

#include "hxdataapi/hxdatasourceservice.h"

#include <QJsonArray>

namespace HXCPControls {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QJsonArray idArray(const QList<qlonglong> &ids)
{
    QJsonArray array;
    for (qlonglong id : ids)
        array.append(QJsonValue(qint64(id)));
    return array;
}

HXDataApi::HXDsRequest request(const QString &objName, const QString &filter, const QMap<QString, QVariant> &params)
{
    HXDataApi::HXDsRequest r;
    r.setObjName(objName);
    r.setIgnoreTotal(true);
    r.setFilter(filter);
    r.setFilterParams(params);
    return r;
}

} // namespace

CPChartsService::CPChartsService()
    : m_service(new HXDataApi::HXDatasourceService)
{
}

CPChartsService::~CPChartsService()
{
    delete m_service;
}

HXDataApi::HXDsRequest CPChartsService::indexDataRequest(const QString &objName, const QList<qlonglong> &ids,
                                                         const QString &startDate)
{
    QMap<QString, QVariant> params{{QStringLiteral("IDX_IDS"), QVariant(idArray(ids))}};
    if (startDate.isEmpty())
        return request(objName, QStringLiteral("IDX_ID in :IDX_IDS && VALUE_TYPE == 100803"), params);
    params.insert(QStringLiteral("PUBLISH_DT"), startDate);
    return request(objName, QStringLiteral("IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= :PUBLISH_DT"),
                   params);
}

HXDataApi::HXDsRequest CPChartsService::indexDataByIdsRequest(const QString &objName, const QList<qlonglong> &ids)
{
    return request(objName, QStringLiteral("IDX_IDS in :IDX_IDS"), {{QStringLiteral("IDX_IDS"), QVariant(idArray(ids))}});
}

HXDataApi::HXDsRequest CPChartsService::seasonDataRequest(const QString &objName, const QList<qlonglong> &ids,
                                                          int frequencyCode, const QVariantMap &seasonQuery,
                                                          const QDate &today)
{
    const auto range = seasonRange(seasonQuery, today);
    const QString filter = QStringLiteral("IDX_ID in :IDX_IDS && FREQUENCY_CODE == :FREQUENCY_CODE && VALUE_TYPE == 100803 "
                                          "&& PUBLISH_DT >= [%1] && PUBLISH_DT <= [%2]")
                               .arg(range.first, range.second);
    return request(objName, filter,
                   {{QStringLiteral("IDX_IDS"), QVariant(idArray(ids))}, {QStringLiteral("FREQUENCY_CODE"), frequencyCode}});
}

void CPChartsService::getIndexData(const QString &objName, const QList<qlonglong> &ids, const QString &startDate,
                                   Callback callback)
{
    m_service->getData(indexDataRequest(objName, ids, startDate), std::move(callback));
}

void CPChartsService::getIndexDataByIds(const QString &objName, const QList<qlonglong> &ids, Callback callback)
{
    m_service->getData(indexDataByIdsRequest(objName, ids), std::move(callback));
}

QString CPChartsService::startDate(const QVariantMap &query, const QDate &today)
{
    QDate start;
    if (query.isEmpty()) {
        start = today.addYears(-2);
    } else if (!query.value(QStringLiteral("isLatestDate")).toBool()) {
        return QLatin1Char('[') + query.value(QStringLiteral("date")).toString() + QLatin1Char(']');
    } else {
        const int unit = query.value(QStringLiteral("unit")).toInt();
        const int n = query.value(QStringLiteral("date")).toString().toInt();
        if (unit == 1)
            start = today.addYears(-n);
        else if (unit == 2)
            start = today.addMonths(-n);
        else
            start = today.addMonths(-3 * n);
    }
    return QLatin1Char('[') + start.toString(kDateFormat) + QLatin1Char(']');
}

void CPChartsService::queryChartData(const QString &objName, int queryType, const QList<qlonglong> &ids,
                                     const QVariantMap &query, Callback callback)
{
    if (queryType != 1) {
        getIndexDataByIds(objName, ids, std::move(callback));
        return;
    }
    getIndexData(objName, ids, startDate(query, QDate::currentDate()), std::move(callback));
}

void CPChartsService::querySeasonData(const QString &objName, const QList<qlonglong> &ids, int frequencyCode,
                                      const QVariantMap &seasonQuery, Callback callback)
{
    m_service->getData(seasonDataRequest(objName, ids, frequencyCode, seasonQuery, QDate::currentDate()),
                       std::move(callback));
}

QPair<QString, QString> CPChartsService::seasonRange(const QVariantMap &seasonQuery)
{
    return seasonRange(seasonQuery, QDate::currentDate());
}

QPair<QString, QString> CPChartsService::seasonRange(const QVariantMap &seasonQuery, const QDate &today)
{
    if (seasonQuery.contains(QStringLiteral("seasonStart")) && seasonQuery.contains(QStringLiteral("seasonEnd")))
        return {seasonQuery.value(QStringLiteral("seasonStart")).toString() + QStringLiteral("-01-01"),
                seasonQuery.value(QStringLiteral("seasonEnd")).toString() + QStringLiteral("-12-31")};
    return {QString::number(today.year() - 4) + QStringLiteral("-01-01"),
            QString::number(today.year()) + QStringLiteral("-12-31")};
}

} // namespace HXCPControls
