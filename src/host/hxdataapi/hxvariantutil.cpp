#include "hxvariantutil.h"

#include <QDateTime>
#include <QJsonValue>

#include <cmath>

namespace HXUtils {

static QVariant plain(const QVariant &value)
{
    if (value.userType() == qMetaTypeId<QJsonValue>())
        return value.value<QJsonValue>().toVariant();
    return value;
}

QDate HXVariantUtil::toDate(const QVariant &input, const QDate &fallback)
{
    const QVariant value = plain(input);
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double: {
        const double ms = value.toDouble();
        if (!std::isfinite(ms))
            return fallback;
        const QDate d = QDateTime::fromMSecsSinceEpoch(qint64(ms), Qt::UTC).date();
        return d.isValid() ? d : fallback;
    }
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    case QMetaType::QString: {
        const QString text = value.toString().trimmed();
        const QDate d = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
        return d.isValid() ? d : fallback;
    }
    default:
        return fallback;
    }
}

QString HXVariantUtil::toString(const QVariant &input, const QString &fallback)
{
    const QVariant value = plain(input);
    if (!value.isValid() || value.isNull())
        return fallback;
    switch (value.userType()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d))
            return fallback;
        return QString::number(d, 'g', 15);
    }
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    default:
        return value.toString();
    }
}

} // namespace HXUtils
