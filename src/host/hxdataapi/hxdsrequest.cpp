#include "hxdsrequest.h"

#include <QJsonArray>
#include <QJsonValue>

namespace HXDataApi {

QJsonObject HXDsRequest::toJson() const
{
    QJsonObject params;
    for (auto it = m_params.constBegin(); it != m_params.constEnd(); ++it) {
        const QVariant &v = it.value();
        // 64-bit IDs stay integral on the wire as long as they are below 2^53.
        if (v.userType() == QMetaType::LongLong || v.userType() == QMetaType::ULongLong)
            params.insert(it.key(), QJsonValue(v.toLongLong()));
        else
            params.insert(it.key(), QJsonValue::fromVariant(v));
    }
    QJsonArray order;
    for (const OrderType &o : m_order)
        order.append(QJsonObject{{QStringLiteral("field"), o.field}, {QStringLiteral("direction"), o.direction}});

    return QJsonObject{{QStringLiteral("objName"), m_objName},
                       {QStringLiteral("filter"), m_filter},
                       {QStringLiteral("params"), params},
                       {QStringLiteral("order"), order},
                       {QStringLiteral("ignoreTotal"), m_ignoreTotal}};
}

} // namespace HXDataApi
