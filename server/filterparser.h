#pragma once

#include <QDate>
#include <QString>

#include <memory>

namespace zhpserver {

// The filter language of datasource queries, e.g.
//
//   IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= [2020-01-01]
//
// A condition compares a field with a value: an integer, a date in square
// brackets, a text in single quotes or a named parameter. `in` tests a field
// against a parameter bound to a list. Conditions combine with `&&` and `||`
// (`&&` binds tighter) and may be grouped with parentheses. The parser only
// builds the syntax tree; field names and parameter kinds are checked by the
// query builder against the catalogue of datasource objects.
namespace filter {

enum class CompareOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, In };

struct Value
{
    enum Kind { Integer, Date, Text, Parameter };
    Kind kind = Integer;
    qint64 integer = 0;
    QDate date;
    QString text;     // the text of a literal, or the parameter's name without the colon
    int position = 0; // 1-based position of the value in the filter text
};

struct Node
{
    enum Kind { And, Or, Compare };
    Kind kind = Compare;
    std::unique_ptr<Node> left;  // And, Or
    std::unique_ptr<Node> right; // And, Or
    QString field;               // Compare: as written
    int fieldPosition = 0;       // Compare: 1-based
    CompareOp op = CompareOp::Equal;
    Value value;                 // Compare
};

// Either a tree (null for an empty filter) or an error with its position.
struct ParseResult
{
    std::unique_ptr<Node> root;
    QString error;    // empty on success
    int position = 0; // 1-based position of the error in the text

    bool ok() const { return error.isEmpty(); }
    // "<error> at position <n>"
    QString message() const;
};

// Limits that keep hostile filters cheap.
constexpr int MaxFilterLength = 8192;
constexpr int MaxNesting = 64;
constexpr int MaxConditions = 200;

ParseResult parse(const QString &text);

QString opText(CompareOp op);

} // namespace filter
} // namespace zhpserver
