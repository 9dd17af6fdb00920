#include "cpindexchartinfo.h"

namespace HXCPControls {

QList<QPair<QString, QString>> CPIndexChartInfo::defaultColumns()
{
    return {{QStringLiteral("INDEX_NAME"), QStringLiteral("指标名称")},
            {QStringLiteral("FREQUENCY_NAME"), QStringLiteral("频率")},
            {QStringLiteral("UNIT_NAME"), QStringLiteral("单位")}};
}

QList<int> CPIndexChartInfo::defaultChartTypeCodes()
{
    return {1, 4, 2, 7, 6, 8, 11, 3, 9};
}

QStringList CPIndexChartInfo::defaultShortList(int type)
{
    if (type == ChartTypeInfo::Pie)
        return {QStringLiteral("HXLegendCfgWidget"), QStringLiteral("HXSeriesOptionCfgWidget")};
    if (type == ChartTypeInfo::Section)
        return {QStringLiteral("HXXYDataCfgWidget"), QStringLiteral("HXSeriesOptionCfgWidget")};
    return {QStringLiteral("HXLegendCfgWidget"), QStringLiteral("HXXYDataCfgWidget"), QStringLiteral("HXSeriesOptionCfgWidget")};
}

QStringList CPIndexChartInfo::defaultFullList(int type)
{
    if (type == ChartTypeInfo::Pie)
        return {QStringLiteral("HXSeriesOptionCfgWidget"), QStringLiteral("HXLegendCfgWidget"), QStringLiteral("HXToolBoxCfgWidget"),
                QStringLiteral("HXToolTipCfgWidget"), QStringLiteral("HXGridCfgWidget")};
    if (type == ChartTypeInfo::Section)
        return {QStringLiteral("HXSeriesOptionCfgWidget"), QStringLiteral("HXXYDataCfgWidget"), QStringLiteral("HXToolBoxCfgWidget"),
                QStringLiteral("HXToolTipCfgWidget"), QStringLiteral("HXGridCfgWidget")};
    return {QStringLiteral("HXSeriesOptionCfgWidget"), QStringLiteral("HXXYDataCfgWidget"), QStringLiteral("HXLegendCfgWidget"),
            QStringLiteral("HXToolTipCfgWidget"), QStringLiteral("HXToolBoxCfgWidget"), QStringLiteral("HXGridCfgWidget")};
}

void CPIndexChartInfo::fillDefaults()
{
    if (!hasChartTypes) {
        chartTypes.clear();
        shortLists.clear();
        fullLists.clear();
        for (int type : defaultChartTypeCodes()) {
            chartTypes.append(ChartTypeInfo::fromType(type));
            shortLists.insert(type, defaultShortList(type));
            fullLists.insert(type, defaultFullList(type));
        }
    }
    if (!hasColumns)
        columns = defaultColumns();
}

QVariantMap CPIndexChartConfig::defaultQuery()
{
    return {{QStringLiteral("isLatestDate"), true}, {QStringLiteral("date"), QStringLiteral("2")}, {QStringLiteral("unit"), 1}};
}

QVariantMap CPIndexChartConfig::defaultSeasonQuery(const QDate &today)
{
    return {{QStringLiteral("seasonStart"), QString::number(today.year() - 4)},
            {QStringLiteral("seasonEnd"), QString::number(today.year())}};
}

QVariantMap CPIndexChartConfig::toMap() const
{
    QVariantList list;
    for (const QVariantMap &entry : indexes)
        list.append(entry);
    for (const auto &unread : unreadIndexes)
        list.insert(qBound(0, unread.first, list.size()), unread.second);
    QVariantMap map{{QStringLiteral("version"), version},
                    {QStringLiteral("isShowTitle"), isShowTitle},
                    {QStringLiteral("title"), title},
                    {QStringLiteral("isSeasonForm"), isSeasonForm},
                    {QStringLiteral("indexes"), list},
                    {QStringLiteral("optionCfg"), optionCfg},
                    {QStringLiteral("seasonOptionCfg"), seasonOptionCfg}};
    if (!query.isEmpty())
        map.insert(QStringLiteral("query"), query);
    if (!seasonQuery.isEmpty())
        map.insert(QStringLiteral("seasonQuery"), seasonQuery);
    return map;
}

CPIndexChartConfig CPIndexChartConfig::fromMap(const QVariantMap &map, const QDate &today)
{
    CPIndexChartConfig config;
    config.version = map.value(QStringLiteral("version")).toString();
    config.isShowTitle = map.value(QStringLiteral("isShowTitle"), false).toBool();
    config.title = map.value(QStringLiteral("title")).toString();
    config.isSeasonForm = map.value(QStringLiteral("isSeasonForm"), false).toBool();
    const QVariantList stored = map.value(QStringLiteral("indexes")).toList();
    for (int i = 0; i < stored.size(); ++i) {
        // Entries that are not objects carry nothing a chart could draw; they
        // are kept aside and written back where they stood.
        const QVariant &entry = stored.at(i);
        if (entry.canConvert<QVariantMap>() && !entry.toMap().isEmpty())
            config.indexes.append(entry.toMap());
        else
            config.unreadIndexes.append({i, entry});
    }
    config.optionCfg = map.value(QStringLiteral("optionCfg")).toMap();
    config.seasonOptionCfg = map.value(QStringLiteral("seasonOptionCfg")).toMap();
    config.query = map.contains(QStringLiteral("query")) ? map.value(QStringLiteral("query")).toMap() : defaultQuery();
    config.seasonQuery = map.contains(QStringLiteral("seasonQuery")) ? map.value(QStringLiteral("seasonQuery")).toMap()
                                                                     : defaultSeasonQuery(today);
    return config;
}

} // namespace HXCPControls
