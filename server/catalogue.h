#pragma once

#include <QString>

#include <vector>

namespace zhpserver {

// The kinds of values a datasource column holds. Dates travel as 64-bit
// integers (milliseconds since the epoch, UTC midnight for calendar dates).
enum class FieldType { Integer, Real, Text, Date };

QString fieldTypeName(FieldType type);

// One column of a datasource object: its name on the wire, the SQL
// expression that reads it, its type, and its caption and flag when it is
// offered as a table column through the property object.
struct FieldDef
{
    QString name;
    QString sql;
    FieldType type = FieldType::Text;
    bool output = true; // false for filter-only aliases such as IDX_IDS
    QString caption;    // empty: not offered as a table column
    int flag = 0;       // 1: the column that colours a row; 2: painted in the row colour
};

// A datasource object: a fixed SQL source (tables, joins and a fixed
// condition, all written here and never taken from a request) and its columns.
struct ObjectDef
{
    QString name;
    QString description;
    QString from;          // "table t JOIN ..."
    QString where;         // fixed condition, may be empty
    QString defaultOrder;  // SQL appended after the requested order, for stable answers
    std::vector<FieldDef> fields;

    const FieldDef *field(const QString &name) const; // case-insensitive; null when unknown
};

// Every datasource object the server answers for.
class Catalogue
{
public:
    static const Catalogue &instance();

    const ObjectDef *object(const QString &name) const; // exact name; null when unknown
    const std::vector<ObjectDef> &objects() const { return m_objects; }

private:
    Catalogue();
    std::vector<ObjectDef> m_objects;
};

} // namespace zhpserver
