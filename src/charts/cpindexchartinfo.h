#pragma once

#include "charttypeinfo.h"

#include <QDate>
#include <QJsonArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace HXCPControls {

// The fixed description of a chart component: where its catalogue, indices
// and values come from, which fields name them, the chart types it offers
// with their option item lists, and the map data it draws on.
struct HXCPCONTROLS_EXPORT CPIndexChartInfo
{
    bool hasColumns = false;
    bool hasChartTypes = false;
    QList<QPair<QString, QString>> columns;
    QString catCodeField = QStringLiteral("CAT_CODE");
    QString parentCatField = QStringLiteral("P_CAT_CODE");
    QString catNameField = QStringLiteral("CAT_NAME");
    QString catExtraField; // handed to the catalogue tree as it is
    QString hasIndexField = QStringLiteral("HAV_IDX");
    QString indexNameField = QStringLiteral("INDEX_NAME");
    QString indexIdField = QStringLiteral("IDX_ID");
    QString catalogObjName = QStringLiteral("ZRN_GENERAL_INDEX_CATEGORY_1");
    QString indexObjName = QStringLiteral("ZRN_GENERAL_INDEX_1");
    QString dataObjName = QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1");
    QVariant rootNode = 3800;
    int valueType = 100803;
    QList<ChartTypeInfo> chartTypes;
    QString seriesNameField = QStringLiteral("INDEX_NAME");
    QString dateField = QStringLiteral("PUBLISH_DT");
    int dateKind = 2;
    QString dateCaption = QStringLiteral("发布日期");
    QString valueField = QStringLiteral("INDEX_VAL");
    QMap<int, QStringList> shortLists;
    QMap<int, QStringList> fullLists;
    int queryType = 1;
    QJsonArray geoJson;

    // Fills in the default chart types and option lists unless the component
    // set its own (hasChartTypes), and the default columns unless hasColumns.
    void fillDefaults();

    static QList<QPair<QString, QString>> defaultColumns();
    static QList<int> defaultChartTypeCodes();
    static QStringList defaultShortList(int type);
    static QStringList defaultFullList(int type);
};

// What the user configures for a chart and the page stores with it.
struct HXCPCONTROLS_EXPORT CPIndexChartConfig
{
    bool isShowTitle = false;
    QString title;
    QList<QVariantMap> indexes;
    QVariantMap optionCfg;
    QVariantMap query;
    QVariantMap seasonQuery;
    QVariantMap seasonOptionCfg;
    bool isSeasonForm = false;
    QString version;
    // Stored "indexes" entries that are not index maps, with their positions:
    // nothing stored is lost because it cannot be drawn.
    QList<QPair<int, QVariant>> unreadIndexes;

    // The stored form; "query" and "seasonQuery" only when not empty.
    QVariantMap toMap() const;
    // Reads a stored map; missing keys take their defaults (the last two
    // years, and the five years up to `today` for the seasonal form).
    static CPIndexChartConfig fromMap(const QVariantMap &map, const QDate &today = QDate::currentDate());

    static QVariantMap defaultQuery();
    static QVariantMap defaultSeasonQuery(const QDate &today = QDate::currentDate());
};

} // namespace HXCPControls
