#include "cpchartdatabuilder.h"

#include "common/logging.h"
#include "config/hxcalexpression.h"
#include "hxdataapi/hxvariantutil.h"

#include <QHash>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace HXCPControls {

namespace {

const QString kHeader = QStringLiteral("header");

// A record's value as a number; NaN when it holds none.
double numberOf(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isString()) {
        bool ok = false;
        const double d = value.toString().trimmed().toDouble(&ok);
        return ok ? d : qQNaN();
    }
    return qQNaN();
}

QJsonValue jsonNumber(double d)
{
    return std::isfinite(d) ? QJsonValue(d) : QJsonValue(QJsonValue::Null);
}

qint64 idOf(const QJsonValue &value)
{
    if (value.isString())
        return value.toString().toLongLong();
    return qint64(value.toDouble());
}

QDate dateOf(const QJsonValue &value)
{
    // Datasource dates are milliseconds since the epoch, UTC; whole days are
    // counted directly, which is much cheaper than a QDateTime per row.
    if (value.isDouble()) {
        const double ms = value.toDouble();
        if (!std::isfinite(ms) || std::abs(ms) > 1e17)
            return QDate();
        constexpr qint64 kMsPerDay = 86400000;
        constexpr qint64 kEpochJulianDay = 2440588;
        const qint64 msecs = qint64(ms);
        const qint64 days = msecs >= 0 ? msecs / kMsPerDay : -((-msecs + kMsPerDay - 1) / kMsPerDay);
        return QDate::fromJulianDay(kEpochJulianDay + days);
    }
    return HXUtils::HXVariantUtil::toDate(value.toVariant(), QDate());
}

// A calculated index: its expression cut into literal text and operands
// (whole numbers, which may name an index), evaluated per date.
struct CalculatedIndex
{
    QString name;
    QVector<QPair<QString, bool>> parts; // (text, is an operand)
    QString error;
    // The expression compiled once into a function of the operands that name indices.
    QJSValue function;
    QStringList operands;
};

CalculatedIndex parseCalculated(const QString &name, const QString &expression)
{
    CalculatedIndex calc;
    calc.name = name;
    QList<HXCalExpression::Token> tokens;
    calc.error = HXCalExpression::check(expression, &tokens);
    if (!calc.error.isEmpty())
        return calc;
    int done = 0;
    for (const HXCalExpression::Token &token : qAsConst(tokens)) {
        const bool whole = token.kind == HXCalExpression::Token::Number
                           && std::all_of(token.text.begin(), token.text.end(), [](QChar c) { return c.isDigit(); });
        if (!whole)
            continue;
        if (token.position > done)
            calc.parts.append({expression.mid(done, token.position - done), false});
        calc.parts.append({token.text, true});
        done = token.position + token.text.size();
    }
    if (done < expression.size())
        calc.parts.append({expression.mid(done), false});
    return calc;
}

// Evaluates the calculated indices of one run with one evaluator. Each
// expression is compiled once, its index operands becoming parameters; an
// operand of the ID list without a value on a date leaves the result not a
// number, as an expression naming an unknown value would.
class Calculator
{
public:
    Calculator(const QVariantMap &calIndexes, const QList<qlonglong> &idList)
    {
        for (qlonglong id : idList)
            m_fallback.insert(QString::number(id));
        for (auto it = calIndexes.begin(); it != calIndexes.end(); ++it) {
            const QVariantMap entry = it.value().toMap();
            QString name = entry.value(QStringLiteral("INDEX_NAME")).toString();
            if (name.isEmpty())
                name = it.key();
            CalculatedIndex calc = parseCalculated(name, entry.value(QStringLiteral("idxIdExpression")).toString());
            if (!calc.error.isEmpty())
                qCWarning(lcCharts).noquote() << "calculated index" << name << "not evaluated:" << calc.error;
            m_calcs.append(calc);
        }
        if (!m_calcs.isEmpty())
            m_evaluator.reset(new HXCalEvaluator);
    }

    bool isEmpty() const { return m_calcs.isEmpty(); }
    const QVector<CalculatedIndex> &calcs() const { return m_calcs; }

    // Compiles the expressions; `recordIds` are the IDs that have values in
    // this run. Other whole numbers stay numbers of the expression.
    void prepare(const QSet<QString> &recordIds)
    {
        for (CalculatedIndex &calc : m_calcs) {
            if (!calc.error.isEmpty() || calc.parts.isEmpty())
                continue;
            QString body;
            QStringList parameters;
            for (const auto &part : calc.parts) {
                if (part.second && (m_fallback.contains(part.first) || recordIds.contains(part.first))) {
                    parameters.append(QStringLiteral("o%1").arg(parameters.size()));
                    calc.operands.append(part.first);
                    body += parameters.last();
                } else {
                    body += part.first;
                }
            }
            calc.function = m_evaluator->compile(body, parameters);
        }
    }

    double evaluate(const CalculatedIndex &calc, const QHash<QString, double> &values) const
    {
        if (!calc.function.isCallable())
            return qQNaN();
        QJSValueList arguments;
        arguments.reserve(calc.operands.size());
        for (const QString &operand : calc.operands) {
            const auto value = values.constFind(operand);
            if (value != values.constEnd())
                arguments.append(QJSValue(*value));
            else if (m_fallback.contains(operand))
                return qQNaN();
            else
                arguments.append(QJSValue(operand.toDouble()));
        }
        return m_evaluator->call(calc.function, arguments);
    }

private:
    QSet<QString> m_fallback;
    QVector<CalculatedIndex> m_calcs;
    std::unique_ptr<HXCalEvaluator> m_evaluator;
};

} // namespace

CPChartDataBuilder::Result CPChartDataBuilder::makeData(int queryType, const QJsonDocument &doc,
                                                        const QList<Dimension> &dimensions, const QString &idField,
                                                        const QString &valueField, const QString &dateField,
                                                        const QVariantMap &calIndexes, const QList<qlonglong> &idList)
{
    QJsonArray dimensionNames{kHeader};
    QHash<qint64, QString> nameById;
    for (const Dimension &d : dimensions) {
        dimensionNames.append(d.name);
        nameById.insert(d.id, d.name);
    }
    const QJsonArray records = doc.array();

    if (queryType != 1) {
        QJsonArray source;
        for (const QJsonValue &v : records) {
            const QJsonObject record = v.toObject();
            // Every record gives a row; a missing, null or non-numeric value counts as 0.
            const double value = numberOf(record.value(valueField));
            source.append(QJsonObject{{kHeader, nameById.value(idOf(record.value(idField)))},
                                      {QStringLiteral("value"), std::isfinite(value) ? value : 0.0}});
        }
        return {QJsonArray{kHeader, QStringLiteral("value")}, source};
    }

    // Columns: the series of the dimensions, then calculated indices that
    // no dimension names.
    QStringList columns;
    QHash<QString, int> columnOf;
    for (const Dimension &d : dimensions) {
        if (!columnOf.contains(d.name)) {
            columnOf.insert(d.name, columns.size());
            columns.append(d.name);
        }
    }
    QHash<qint64, int> columnById;
    for (auto it = nameById.begin(); it != nameById.end(); ++it)
        columnById.insert(it.key(), columnOf.value(it.value()));

    Calculator calculator(calIndexes, idList);
    QVector<int> calcColumns;
    for (const CalculatedIndex &calc : calculator.calcs()) {
        if (!columnOf.contains(calc.name)) {
            columnOf.insert(calc.name, columns.size());
            columns.append(calc.name);
        }
        calcColumns.append(columnOf.value(calc.name));
    }

    struct Row
    {
        QVector<QJsonValue> cells;
        QHash<QString, double> values; // index ID text -> value, for calculated indices
    };
    std::map<qint64, Row> rows; // by Julian day
    QSet<QString> recordIds;
    const QJsonValue undefined(QJsonValue::Undefined);
    for (const QJsonValue &v : records) {
        const QJsonObject record = v.toObject();
        const QDate date = dateOf(record.value(dateField));
        if (!date.isValid())
            continue;
        const qint64 id = idOf(record.value(idField));
        auto inserted = rows.try_emplace(date.toJulianDay());
        Row &row = inserted.first->second;
        if (inserted.second)
            row.cells.fill(undefined, columns.size());
        const QJsonValue value = record.value(valueField);
        const auto column = columnById.constFind(id);
        if (column != columnById.constEnd())
            row.cells[*column] = value.isString() ? jsonNumber(numberOf(value)) : value;
        if (!calculator.isEmpty()) {
            const double d = numberOf(value);
            if (std::isfinite(d)) {
                const QString idText = QString::number(id);
                row.values.insert(idText, d);
                recordIds.insert(idText);
            }
        }
    }
    calculator.prepare(recordIds);

    QJsonArray source;
    for (auto &entry : rows) {
        Row &row = entry.second;
        for (int c = 0; c < calcColumns.size(); ++c)
            row.cells[calcColumns[c]] = jsonNumber(calculator.evaluate(calculator.calcs()[c], row.values));
        QJsonObject object{{kHeader, QDate::fromJulianDay(entry.first).toString(QStringLiteral("yyyy-MM-dd"))}};
        for (int c = 0; c < columns.size(); ++c) {
            if (!row.cells[c].isUndefined())
                object.insert(columns[c], row.cells[c]);
        }
        source.append(object);
    }
    return {dimensionNames, source};
}

QStringList CPChartDataBuilder::seasonDimensions(const QVariantMap &seasonQuery)
{
    return seasonDimensions(seasonQuery, QDate::currentDate());
}

QStringList CPChartDataBuilder::seasonDimensions(const QVariantMap &seasonQuery, const QDate &today)
{
    int first = today.year() - 4;
    int last = today.year();
    if (seasonQuery.contains(QStringLiteral("seasonStart")) && seasonQuery.contains(QStringLiteral("seasonEnd"))) {
        first = seasonQuery.value(QStringLiteral("seasonStart")).toString().toInt();
        last = seasonQuery.value(QStringLiteral("seasonEnd")).toString().toInt();
    }
    QStringList names{kHeader};
    // A stored range is user input: keep the column count sane.
    if (qint64(last) - qint64(first) > 200)
        first = last - 200;
    for (int year = first; year <= last; ++year)
        names.append(QStringLiteral("%1年").arg(year));
    return names;
}

CPChartDataBuilder::Result CPChartDataBuilder::makeSeasonData(int frequencyCode, const QJsonDocument &doc,
                                                              const QList<Dimension> &dimensions,
                                                              const QString &valueField, const QString &dateField,
                                                              const QVariantMap &calIndexes,
                                                              const QList<qlonglong> &idList)
{
    const QString idField = QStringLiteral("IDX_ID");
    QJsonArray dimensionNames{kHeader};
    for (const Dimension &d : dimensions)
        dimensionNames.append(d.name);

    Calculator calculator(calIndexes, idList);
    // One value per date: the index's own, or the first calculated index.
    QMap<QDate, double> values;
    QMap<QDate, QHash<QString, double>> operands;
    QSet<QString> recordIds;
    const QJsonArray records = doc.array();
    const bool anyId = idList.isEmpty();
    const qint64 ownId = anyId ? 0 : idList.first();
    for (const QJsonValue &v : records) {
        const QJsonObject record = v.toObject();
        const QDate date = dateOf(record.value(dateField));
        if (!date.isValid())
            continue;
        const qint64 id = idOf(record.value(idField));
        const double d = numberOf(record.value(valueField));
        if (calculator.isEmpty()) {
            if (anyId || id == ownId)
                values.insert(date, d);
        } else if (std::isfinite(d)) {
            operands[date].insert(QString::number(id), d);
            recordIds.insert(QString::number(id));
        }
    }
    if (!calculator.isEmpty()) {
        calculator.prepare(recordIds);
        for (auto it = operands.begin(); it != operands.end(); ++it)
            values.insert(it.key(), calculator.evaluate(calculator.calcs().first(), it.value()));
    }

    QMap<QString, QJsonObject> rows; // by sort key
    auto rowOf = [&](const QString &key, const QString &label) -> QJsonObject & {
        auto it = rows.find(key);
        if (it == rows.end())
            it = rows.insert(key, QJsonObject{{kHeader, label}});
        return *it;
    };
    auto key2 = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    if (frequencyCode == 12) {
        for (int m = 1; m <= 12; ++m)
            rowOf(key2(m), QStringLiteral("%1月份").arg(m));
    } else if (frequencyCode == 4) {
        for (int q = 1; q <= 4; ++q)
            rowOf(key2(q), QStringLiteral("%1季度").arg(q));
    }
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QDate date = it.key();
        const int month = date.toString(QStringLiteral("MM")).toInt();
        const QString column = date.toString(QStringLiteral("yyyy")) + QStringLiteral("年");
        QString key;
        QString label;
        if (frequencyCode == 12) {
            key = key2(month);
        } else if (frequencyCode == 4) {
            key = key2(month <= 3 ? 1 : month <= 6 ? 2 : month <= 9 ? 3 : 4);
        } else {
            key = date.toString(QStringLiteral("MMdd"));
            label = date.toString(QStringLiteral("MM月dd日"));
        }
        rowOf(key, label).insert(column, jsonNumber(it.value()));
    }
    QJsonArray source;
    for (const QJsonObject &row : rows)
        source.append(row);
    return {dimensionNames, source};
}

} // namespace HXCPControls
