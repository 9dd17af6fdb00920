#pragma once

#include "zhphost_global.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

namespace HXDataApi {

// One sort key of a datasource query. Direction 1 sorts ascending, -1 descending.
struct ZHPHOST_EXPORT OrderType
{
    QString field;
    int direction = 1;
};

// A query of a datasource object: its name, a filter expression over its
// fields with named parameters (":NAME" in the text, "NAME" in the map),
// the order of the rows and whether the total row count may be skipped.
class ZHPHOST_EXPORT HXDsRequest
{
public:
    void setObjName(const QString &name) { m_objName = name; }
    QString objName() const { return m_objName; }

    void setFilter(const QString &filter) { m_filter = filter; }
    QString filter() const { return m_filter; }

    void setFilterParams(const QMap<QString, QVariant> &params) { m_params = params; }
    QMap<QString, QVariant> filterParams() const { return m_params; }

    void setOrder(const QList<OrderType> &order) { m_order = order; }
    QList<OrderType> order() const { return m_order; }

    void setIgnoreTotal(bool ignore) { m_ignoreTotal = ignore; }
    bool ignoreTotal() const { return m_ignoreTotal; }

    // The request body of the datasource endpoint (see docs/datasource.md).
    QJsonObject toJson() const;

private:
    QString m_objName;
    QString m_filter;
    QMap<QString, QVariant> m_params;
    QList<OrderType> m_order;
    bool m_ignoreTotal = false;
};

} // namespace HXDataApi
