#pragma once

#include "common/hxcpcontrols_global.h"

#include <QString>

namespace HXCPControls {

// What an index table hands the detail dialog when an index name is clicked.
struct HXCPCONTROLS_EXPORT CPIndexDetailRequest
{
    QString indexName;
    qint64 indexId = 0;
    QString sourceCode;
    int frequencyCode = 0;
    QString frequencyName;
    int conversion = 0;
};

// Where the detail dialog reads its catalogue, indices and values.
struct HXCPCONTROLS_EXPORT CPIndexDetailSource
{
    QString title = QStringLiteral("价格数据");
    QString catalogObjName = QStringLiteral("ZRN_GENERAL_INDEX_CATEGORY_1");
    QString indexObjName = QStringLiteral("ZRN_GENERAL_INDEX_1");
    QString valueObjName = QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1");
    // The catalogue node whose indices "添加数据" offers.
    int rootNode = 3800;
};

} // namespace HXCPControls
