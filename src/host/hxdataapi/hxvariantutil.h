#pragma once

#include "zhphost_global.h"

#include <QDate>
#include <QString>
#include <QVariant>

namespace HXUtils {

// Conversions of datasource values.
class ZHPHOST_EXPORT HXVariantUtil
{
public:
    // A datasource date (milliseconds since the epoch, UTC, as a number) or a
    // text "yyyy-MM-dd" (a time may follow); `fallback` for anything else.
    static QDate toDate(const QVariant &value, const QDate &fallback);
    // A cell as text: numbers without needless digits, dates as "yyyy-MM-dd";
    // `fallback` for null values.
    static QString toString(const QVariant &value, const QString &fallback);
};

} // namespace HXUtils
