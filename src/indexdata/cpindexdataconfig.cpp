#include "cpindexdataconfig.h"
#include "cpindexdatastate.h"

namespace HXCPControls {

CPIndexDataConfig::CPIndexDataConfig()
    : catCodeField(QStringLiteral("CAT_CODE"))
    , parentCatField(QStringLiteral("P_CAT_CODE"))
    , catNameField(QStringLiteral("CAT_NAME"))
    , hasIndexField(QStringLiteral("HAV_IDX"))
    , indexNameField(QStringLiteral("INDEX_NAME"))
    , indexIdField(QStringLiteral("IDX_ID"))
    , catalogObjName(QStringLiteral("ZRN_GENERAL_INDEX_CATEGORY_1"))
    , indexObjName(QStringLiteral("ZRN_GENERAL_INDEX_1"))
    , rootNode(3800)
    , nameColumn(QStringLiteral("INDEX_NAME"))
    , rowIdColumn(QStringLiteral("INDEX_ID"))
    , sourceCode(1)
{
}

QStringList CPIndexDataConfig::fieldNames() const
{
    return {catCodeField, parentCatField, catNameField, sortField, hasIndexField, indexNameField, indexIdField};
}

QVariantMap CPIndexDataState::toMap() const
{
    QVariantList headerList, indexList, frequencyList;
    for (const QVariantMap &h : headers)
        headerList.append(h);
    for (const QVariantMap &i : indexes)
        indexList.append(i);
    for (int f : frequencies)
        frequencyList.append(f);
    QVariantMap map;
    map.insert(QStringLiteral("isShowTitle"), isShowTitle);
    map.insert(QStringLiteral("title"), title);
    map.insert(QStringLiteral("limitField"), limitField);
    map.insert(QStringLiteral("headers"), headerList);
    map.insert(QStringLiteral("indexes"), indexList);
    map.insert(QStringLiteral("frequencies"), frequencyList);
    return map;
}

CPIndexDataState CPIndexDataState::fromMap(const QVariantMap &map)
{
    CPIndexDataState state;
    state.isShowTitle = map.value(QStringLiteral("isShowTitle")).toBool();
    state.title = map.value(QStringLiteral("title")).toString();
    state.limitField = map.value(QStringLiteral("limitField")).toString();
    const QVariantList headers = map.value(QStringLiteral("headers")).toList();
    for (const QVariant &h : headers)
        state.headers.append(h.toMap());
    const QVariantList indexes = map.value(QStringLiteral("indexes")).toList();
    for (const QVariant &i : indexes)
        state.indexes.append(i.toMap());
    const QVariantList frequencies = map.value(QStringLiteral("frequencies")).toList();
    for (const QVariant &f : frequencies)
        state.frequencies.append(f.toInt());
    return state;
}

} // namespace HXCPControls
