#pragma once

#include "common/hxcpcontrols_global.h"

#include <QList>
#include <QString>
#include <QVariantMap>

namespace HXCPControls {

// What the user configures for an index table and the page stores.
struct HXCPCONTROLS_EXPORT CPIndexDataState
{
    bool isShowTitle = false;
    QString title;
    QList<QVariantMap> indexes;   // index rows, each with at least IDX_ID
    QList<QVariantMap> headers;   // property rows: PROP_NAME, PROP_CAPTION, PROP_TYP, PROP_FLAG
    QString limitField;           // the column whose value colours a row
    QList<int> frequencies;       // frequency codes offered by the title bar

    // The six stored keys; missing keys read as false, empty texts and empty lists.
    QVariantMap toMap() const;
    static CPIndexDataState fromMap(const QVariantMap &map);
};

} // namespace HXCPControls
