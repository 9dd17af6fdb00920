#pragma once

#include "catalogue.h"
#include "filterparser.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

namespace zhpserver {

// A datasource request checked against the catalogue and turned into one
// SQL statement with bound values. Nothing from the request reaches the SQL
// text: field names are looked up and replaced by the catalogue's own
// expressions, and every value is bound.
struct CompiledQuery
{
    const ObjectDef *object = nullptr;
    QString sql;
    QVariantList binds;
    std::vector<const FieldDef *> columns; // in answer order
};

// The error of a request that cannot be answered; status 400 unless said otherwise.
struct QueryError
{
    int status = 400;
    QString message;
};

// Parses and checks the JSON body of a datasource request.
bool compileRequest(const QByteArray &body, CompiledQuery &out, QueryError &error);

// The same from the parts (used by the body form above and by tests).
bool compileQuery(const QString &objName, const QString &filterText, const QJsonObject &params,
                  const QJsonArray &order, CompiledQuery &out, QueryError &error);

// Runs a compiled query and writes the JSON array of rows.
bool runQuery(QSqlDatabase &db, const CompiledQuery &query, QByteArray &json, QueryError &error);

// Midnight UTC of a date, in milliseconds since the epoch.
qint64 dateToMs(const QDate &date);

} // namespace zhpserver
