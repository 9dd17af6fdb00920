#include "datasourcequery.h"

#include "jsonguard.h"
#include "jsonwriter.h"
#include "serverlog.h"
#include "storage.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlError>
#include <QSet>
#include <QSqlQuery>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace zhpserver {

namespace {

constexpr int MaxListLength = 5000;
constexpr int MaxOrderKeys = 100;
constexpr int MaxBoundValues = 20000; // well below what one SQLite statement takes
constexpr double MaxExactInteger = 9007199254740992.0; // 2^53

// Large answers are built one at a time per server: a query with more rows
// than this waits for the slot before it goes on, so clients asking for
// everything share the processor among themselves and leave the rest of it
// to everyone else.
constexpr int LargeAnswerRows = 4000;
constexpr auto LargeAnswerWait = std::chrono::seconds(30);

class LargeAnswerSlot
{
public:
    ~LargeAnswerSlot()
    {
        if (m_held) {
            std::lock_guard<std::mutex> lock(s_mutex);
            s_busy = false;
            s_free.notify_one();
        }
    }
    bool take()
    {
        std::unique_lock<std::mutex> lock(s_mutex);
        if (!s_free.wait_for(lock, LargeAnswerWait, [] { return !s_busy; }))
            return false;
        s_busy = m_held = true;
        return true;
    }

private:
    bool m_held = false;
    static std::mutex s_mutex;
    static std::condition_variable s_free;
    static bool s_busy;
};
std::mutex LargeAnswerSlot::s_mutex;
std::condition_variable LargeAnswerSlot::s_free;
bool LargeAnswerSlot::s_busy = false;

QString kindOf(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("a boolean");
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (std::trunc(d) != d)
            return QStringLiteral("a fractional number");
        return std::fabs(d) > MaxExactInteger ? QStringLiteral("an integer beyond 2^53") : QStringLiteral("an integer");
    }
    case QJsonValue::String: return QStringLiteral("text");
    case QJsonValue::Array: return QStringLiteral("a list");
    case QJsonValue::Object: return QStringLiteral("an object");
    case QJsonValue::Undefined: break;
    }
    return QStringLiteral("nothing");
}

QString expected(FieldType type)
{
    switch (type) {
    case FieldType::Integer: return QStringLiteral("an integer");
    case FieldType::Real: return QStringLiteral("a number");
    case FieldType::Text: return QStringLiteral("text");
    case FieldType::Date: return QStringLiteral("a date (\"yyyy-MM-dd\", \"[yyyy-MM-dd]\" or milliseconds since the epoch)");
    }
    return QString();
}

bool parseDateText(QString text, qint64 &ms)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        text = text.mid(1, text.size() - 2);
    if (text.size() != 10)
        return false;
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        return false;
    ms = dateToMs(d);
    return true;
}

// Converts one JSON parameter value to the bound value of a field.
bool convertParam(const FieldDef &field, const QJsonValue &v, QVariant &out)
{
    switch (field.type) {
    case FieldType::Integer:
    case FieldType::Date:
        if (v.isDouble()) {
            const double d = v.toDouble();
            if (std::trunc(d) != d || std::fabs(d) > MaxExactInteger)
                return false;
            out = qint64(d);
            return true;
        }
        if (field.type == FieldType::Date && v.isString()) {
            qint64 ms = 0;
            if (!parseDateText(v.toString(), ms))
                return false;
            out = ms;
            return true;
        }
        return false;
    case FieldType::Real:
        if (!v.isDouble())
            return false;
        out = v.toDouble();
        return true;
    case FieldType::Text:
        if (!v.isString())
            return false;
        out = v.toString();
        return true;
    }
    return false;
}

class Builder
{
public:
    Builder(const ObjectDef &object, const QJsonObject &params) : m_object(object), m_params(params) {}

    bool build(const filter::Node &node, QString &sql, QVariantList &binds, QueryError &error)
    {
        switch (node.kind) {
        case filter::Node::And:
        case filter::Node::Or: {
            // A chain of one operator is written flat, "(a AND b AND c)":
            // SQL parsers have a small stack for nested parentheses.
            std::vector<const filter::Node *> operands;
            std::vector<const filter::Node *> pending{&node};
            while (!pending.empty()) {
                const filter::Node *n = pending.back();
                pending.pop_back();
                if (n->kind == node.kind) {
                    pending.push_back(n->right.get());
                    pending.push_back(n->left.get());
                } else {
                    operands.push_back(n);
                }
            }
            QStringList parts;
            for (const filter::Node *operand : operands) {
                QString part;
                if (!build(*operand, part, binds, error))
                    return false;
                parts.append(part);
            }
            sql = QStringLiteral("(") + parts.join(node.kind == filter::Node::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "))
                  + QStringLiteral(")");
            return true;
        }
        case filter::Node::Compare:
            return compare(node, sql, binds, error);
        }
        return false;
    }

private:
    bool fail(QueryError &error, const QString &message, int position)
    {
        error.status = 400;
        error.message = QStringLiteral("%1 at position %2").arg(message).arg(position);
        return false;
    }

    bool compare(const filter::Node &node, QString &sql, QVariantList &binds, QueryError &error)
    {
        const FieldDef *field = m_object.field(node.field);
        if (!field)
            return fail(error, QStringLiteral("unknown field %1 of %2").arg(node.field, m_object.name), node.fieldPosition);

        const filter::Value &value = node.value;
        if (node.op == filter::CompareOp::In) {
            const QString name = value.text;
            if (!m_params.contains(name))
                return fail(error, QStringLiteral("missing parameter :%1").arg(name), value.position);
            const QJsonValue p = m_params.value(name);
            if (!p.isArray())
                return fail(error, QStringLiteral("parameter :%1 must be a list for '%2 in', not %3").arg(name, field->name, kindOf(p)),
                            value.position);
            const QJsonArray list = p.toArray();
            if (list.size() > MaxListLength)
                return fail(error, QStringLiteral("parameter :%1 holds %2 values, more than %3").arg(name).arg(list.size()).arg(MaxListLength),
                            value.position);
            if (list.isEmpty()) {
                sql = QStringLiteral("1 = 0");
                return true;
            }
            if (binds.size() + list.size() > MaxBoundValues)
                return fail(error, QStringLiteral("the filter binds more than %1 values").arg(MaxBoundValues), value.position);
            QStringList marks;
            for (int i = 0; i < list.size(); ++i) {
                QVariant bound;
                if (!convertParam(*field, list.at(i), bound))
                    return fail(error, QStringLiteral("element %1 of parameter :%2 must be %3 for %4, not %5")
                                           .arg(i + 1).arg(name, expected(field->type), field->name, kindOf(list.at(i))),
                                value.position);
                binds.append(bound);
                marks.append(QStringLiteral("?"));
            }
            sql = field->sql + QStringLiteral(" IN (") + marks.join(QLatin1Char(',')) + QStringLiteral(")");
            return true;
        }

        QVariant bound;
        switch (value.kind) {
        case filter::Value::Parameter: {
            const QString name = value.text;
            if (!m_params.contains(name))
                return fail(error, QStringLiteral("missing parameter :%1").arg(name), value.position);
            const QJsonValue p = m_params.value(name);
            if (p.isArray())
                return fail(error, QStringLiteral("parameter :%1 is a list; compare lists with 'in'").arg(name), value.position);
            if (!convertParam(*field, p, bound))
                return fail(error, QStringLiteral("parameter :%1 must be %2 for %3, not %4").arg(name, expected(field->type), field->name, kindOf(p)),
                            value.position);
            break;
        }
        case filter::Value::Integer:
            if (field->type == FieldType::Text)
                return fail(error, QStringLiteral("%1 is a text field; write the value in quotes").arg(field->name), value.position);
            bound = field->type == FieldType::Real ? QVariant(double(value.integer)) : QVariant(value.integer);
            break;
        case filter::Value::Date:
            if (field->type != FieldType::Date)
                return fail(error, QStringLiteral("%1 is %2 field, not a date").arg(field->name, field->type == FieldType::Integer ? QStringLiteral("an integer") : QStringLiteral("a ") + fieldTypeName(field->type)),
                            value.position);
            bound = dateToMs(value.date);
            break;
        case filter::Value::Text:
            if (field->type == FieldType::Text) {
                bound = value.text;
            } else if (field->type == FieldType::Date) {
                qint64 ms = 0;
                if (!parseDateText(value.text, ms))
                    return fail(error, QStringLiteral("'%1' is not a date yyyy-MM-dd").arg(value.text.left(40)), value.position);
                bound = ms;
            } else {
                return fail(error, QStringLiteral("%1 is %2 field; text cannot be compared with it").arg(field->name, expected(field->type)),
                            value.position);
            }
            break;
        }
        static const char *const sqlOps[] = {" = ", " <> ", " < ", " <= ", " > ", " >= "};
        sql = field->sql + QLatin1String(sqlOps[int(node.op)]) + QStringLiteral("?");
        binds.append(bound);
        return true;
    }

    const ObjectDef &m_object;
    const QJsonObject &m_params;
};

} // namespace

qint64 dateToMs(const QDate &date)
{
    return QDateTime(date, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
}

bool compileQuery(const QString &objName, const QString &filterText, const QJsonObject &params, const QJsonArray &order,
                  CompiledQuery &out, QueryError &error)
{
    error = QueryError();
    const ObjectDef *object = Catalogue::instance().object(objName);
    if (!object) {
        error.message = QStringLiteral("unknown datasource object %1").arg(objName.left(100));
        return false;
    }
    out = CompiledQuery();
    out.object = object;

    QString where = object->where;
    const filter::ParseResult parsed = filter::parse(filterText);
    if (!parsed.ok()) {
        error.message = QStringLiteral("filter syntax error: ") + parsed.message();
        return false;
    }
    if (parsed.root) {
        QString condition;
        Builder builder(*object, params);
        if (!builder.build(*parsed.root, condition, out.binds, error)) {
            error.message = QStringLiteral("filter error: ") + error.message;
            return false;
        }
        where = where.isEmpty() ? condition : QStringLiteral("(") + where + QStringLiteral(") AND ") + condition;
    }

    if (order.size() > MaxOrderKeys) {
        error.message = QStringLiteral("order holds %1 entries, more than %2").arg(order.size()).arg(MaxOrderKeys);
        return false;
    }
    QStringList orderBy;
    QSet<const FieldDef *> ordered;
    for (int i = 0; i < order.size(); ++i) {
        const QJsonObject o = order.at(i).toObject();
        const QJsonValue fieldValue = o.value(QLatin1String("field"));
        if (!order.at(i).isObject() || !fieldValue.isString()) {
            error.message = QStringLiteral("order entry %1 must be an object with a field name").arg(i + 1);
            return false;
        }
        const FieldDef *field = object->field(fieldValue.toString());
        if (!field) {
            error.message = QStringLiteral("unknown order field %1 of %2").arg(fieldValue.toString().left(100), object->name);
            return false;
        }
        const QJsonValue dir = o.value(QLatin1String("direction"));
        int direction = 1;
        if (!dir.isUndefined() && !dir.isNull()) {
            direction = dir.isDouble() ? int(dir.toDouble()) : 0;
            if (!dir.isDouble() || dir.toDouble() != direction || (direction != 1 && direction != -1)) {
                error.message = QStringLiteral("order direction of %1 must be 1 (ascending) or -1 (descending)").arg(field->name);
                return false;
            }
        }
        // A field already ordered by decides nothing more.
        if (!ordered.contains(field)) {
            ordered.insert(field);
            orderBy.append(field->sql + (direction == 1 ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
        }
    }
    if (!object->defaultOrder.isEmpty())
        orderBy.append(object->defaultOrder);

    QStringList select;
    for (const FieldDef &f : object->fields) {
        if (!f.output)
            continue;
        select.append(f.sql);
        out.columns.push_back(&f);
    }
    out.sql = QStringLiteral("SELECT ") + select.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") + object->from;
    if (!where.isEmpty())
        out.sql += QStringLiteral(" WHERE ") + where;
    if (!orderBy.isEmpty())
        out.sql += QStringLiteral(" ORDER BY ") + orderBy.join(QStringLiteral(", "));
    return true;
}

bool compileRequest(const QByteArray &body, CompiledQuery &out, QueryError &error)
{
    error = QueryError();
    const QString repeated = duplicateJsonKey(body);
    if (!repeated.isNull()) {
        error.message = QStringLiteral("request body repeats the key \"%1\"").arg(repeated.left(100));
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        error.message = parseError.error != QJsonParseError::NoError
                            ? QStringLiteral("request body is not JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset)
                            : QStringLiteral("request body must be a JSON object");
        return false;
    }
    const QJsonObject o = doc.object();
    const QJsonValue objName = o.value(QLatin1String("objName"));
    if (!objName.isString() || objName.toString().isEmpty()) {
        error.message = QStringLiteral("objName must name a datasource object");
        return false;
    }
    const QJsonValue filterValue = o.value(QLatin1String("filter"));
    if (!filterValue.isUndefined() && !filterValue.isNull() && !filterValue.isString()) {
        error.message = QStringLiteral("filter must be text");
        return false;
    }
    const QJsonValue params = o.value(QLatin1String("params"));
    if (!params.isUndefined() && !params.isNull() && !params.isObject()) {
        error.message = QStringLiteral("params must be an object of named values");
        return false;
    }
    const QJsonValue order = o.value(QLatin1String("order"));
    if (!order.isUndefined() && !order.isNull() && !order.isArray()) {
        error.message = QStringLiteral("order must be a list of {field, direction}");
        return false;
    }
    const QJsonValue ignoreTotal = o.value(QLatin1String("ignoreTotal"));
    if (!ignoreTotal.isUndefined() && !ignoreTotal.isNull() && !ignoreTotal.isBool()) {
        error.message = QStringLiteral("ignoreTotal must be true or false");
        return false;
    }
    return compileQuery(objName.toString(), filterValue.toString(), params.toObject(), order.toArray(), out, error);
}

namespace {

// Runs `sql` with the query's values and writes its rows as a JSON array.
// Before the row after LargeAnswerRows it asks `goOn`; false ends the query
// (with `error` set when that is a refusal) and leaves no answer in `json`.
bool writeRows(QSqlDatabase &db, const CompiledQuery &query, const QString &sql, const std::function<bool()> &goOn, QByteArray &json,
               QueryError &error)
{
    QSqlQuery q = prepared(db, sql, true);
    for (const QVariant &v : query.binds)
        q.addBindValue(v);
    if (!q.exec()) {
        qCWarning(lcServer).noquote() << "query of" << query.object->name << "failed:" << q.lastError().text();
        error = {500, QStringLiteral("the query of %1 failed").arg(query.object->name)};
        return false;
    }

    // Keys are written once per column, with their quotes and colon.
    std::vector<QByteArray> keys;
    for (const FieldDef *f : query.columns) {
        QByteArray key;
        json::appendString(key, f->name);
        key.append(':');
        keys.push_back(key);
    }
    const int n = int(query.columns.size());
    json.clear();
    json.reserve(1 << 16);
    json.append('[');
    int count = 0;
    while (q.next()) {
        if (++count == LargeAnswerRows + 1 && !goOn())
            return false;
        json.append(count == 1 ? "{" : ",{");
        for (int i = 0; i < n; ++i) {
            if (i)
                json.append(',');
            json.append(keys[size_t(i)]);
            const QVariant v = q.value(i);
            if (v.isNull()) {
                json.append("null");
                continue;
            }
            switch (query.columns[size_t(i)]->type) {
            case FieldType::Integer:
            case FieldType::Date: json::appendInteger(json, v.toLongLong()); break;
            case FieldType::Real: json::appendReal(json, v.toDouble()); break;
            case FieldType::Text: json::appendString(json, v.toString()); break;
            }
        }
        json.append('}');
    }
    json.append(']');
    if (q.lastError().isValid()) {
        qCWarning(lcServer).noquote() << "reading" << query.object->name << "failed:" << q.lastError().text();
        error = {500, QStringLiteral("reading the rows of %1 failed").arg(query.object->name)};
        return false;
    }
    return true;
}

} // namespace

bool runQuery(QSqlDatabase &db, const CompiledQuery &query, QByteArray &json, QueryError &error)
{
    error = QueryError();
    LargeAnswerSlot slot;
    const auto takeSlot = [&] {
        if (slot.take())
            return true;
        error = {503, QStringLiteral("too many large queries at once; try again shortly")};
        return false;
    };
    if (db.driverName() != QLatin1String("QPSQL"))
        return writeRows(db, query, query.sql, takeSlot, json, error);
    // PostgreSQL sorts every row of an answer, in a process of its own,
    // before it sends the first: a first run stops past LargeAnswerRows, so
    // that a large answer is computed in full only once it has the slot.
    if (writeRows(db, query, query.sql + QStringLiteral(" LIMIT %1").arg(LargeAnswerRows + 1), [] { return false; }, json, error))
        return true;
    return error.message.isEmpty() && takeSlot() && writeRows(db, query, query.sql, [] { return true; }, json, error);
}

} // namespace zhpserver
