// The filter language on its own: the syntax tree it builds, the errors it
// reports with their positions, and the SQL that the query builder makes of
// it against the catalogue (placeholders only, never request text).

#include "datasourcequery.h"
#include "filterparser.h"

#include "zhptest.h"

#include <QJsonArray>
#include <QtTest>

using namespace zhpserver;

namespace {

QString valueText(const filter::Value &v)
{
    switch (v.kind) {
    case filter::Value::Integer: return QString::number(v.integer);
    case filter::Value::Date: return QLatin1Char('[') + v.date.toString(Qt::ISODate) + QLatin1Char(']');
    case filter::Value::Text: return QLatin1Char('\'') + v.text + QLatin1Char('\'');
    case filter::Value::Parameter: return QLatin1Char(':') + v.text;
    }
    return QString();
}

// The tree written back with every binary node in parentheses.
QString render(const filter::Node *n)
{
    if (!n)
        return QStringLiteral("<empty>");
    if (n->kind == filter::Node::Compare)
        return n->field + QLatin1Char(' ') + filter::opText(n->op) + QLatin1Char(' ') + valueText(n->value);
    return QLatin1Char('(') + render(n->left.get()) + (n->kind == filter::Node::And ? QStringLiteral(" && ") : QStringLiteral(" || "))
           + render(n->right.get()) + QLatin1Char(')');
}

} // namespace

class TestFilterParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZhpTest::failOnUnexpectedMessages(); }

    void validFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("tree");
        QTest::newRow("empty") << "" << "<empty>";
        QTest::newRow("blank") << "  \t " << "<empty>";
        QTest::newRow("index list") << "IDX_ID in :IDX_IDS" << "IDX_ID in :IDX_IDS";
        QTest::newRow("chart values")
            << "IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= [2023-01-05] && PUBLISH_DT <= [2024-12-31]"
            << "(((IDX_ID in :IDX_IDS && VALUE_TYPE == 100803) && PUBLISH_DT >= [2023-01-05]) && PUBLISH_DT <= [2024-12-31])";
        QTest::newRow("no spaces") << "CAT_CODE==:PNODE&&SN>=-3" << "(CAT_CODE == :PNODE && SN >= -3)";
        QTest::newRow("and binds tighter than or") << "A == 1 || B == 2 && C == 3" << "(A == 1 || (B == 2 && C == 3))";
        QTest::newRow("parentheses") << "(A == 1 || B == 2) && C != 3" << "((A == 1 || B == 2) && C != 3)";
        QTest::newRow("all comparisons") << "A < 1 && B > 2 && C <= 3 && D >= 4" << "(((A < 1 && B > 2) && C <= 3) && D >= 4)";
        QTest::newRow("text with quote") << "AREA_NAME == '北京''s'" << "AREA_NAME == '北京's'";
        QTest::newRow("IN in capitals") << "IDX_IDS IN :IDX_IDS" << "IDX_IDS in :IDX_IDS";
        QTest::newRow("leap day") << "PUBLISH_DT == [2024-02-29]" << "PUBLISH_DT == [2024-02-29]";
    }

    void validFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QString, tree);
        const filter::ParseResult r = filter::parse(filter);
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QCOMPARE(render(r.root.get()), tree);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("position");
        QTest::newRow("single =") << "IDX_ID = 1" << "unexpected character '=' (did you mean '=='?)" << 8;
        QTest::newRow("single &") << "A == 1 & B == 2" << "did you mean '&&'" << 8;
        QTest::newRow("statement separator") << "IDX_ID == 1; DROP TABLE page" << "unexpected character ';'" << 12;
        QTest::newRow("comment") << "IDX_ID == 1 -- x" << "unexpected character '-'" << 13;
        QTest::newRow("sql OR") << "IDX_ID == 1 OR 1 == 1" << "unexpected 'OR' after a complete condition" << 13;
        QTest::newRow("closing paren in a field") << "IDX_ID) OR (1 == 1" << "expected a comparison" << 7;
        QTest::newRow("missing value") << "IDX_ID ==" << "expected a value after IDX_ID ==" << 10;
        QTest::newRow("value first") << "1 == IDX_ID" << "expected a field name, found '1'" << 1;
        QTest::newRow("in a literal") << "IDX_ID in 5" << "'in' takes a :PARAMETER" << 11;
        QTest::newRow("dangling and") << "A == 1 &&" << "expected a field name, found the end of the filter" << 10;
        QTest::newRow("unclosed paren") << "(A == 1" << "expected ')' to close the '(' at position 1" << 8;
        QTest::newRow("bad month") << "PUBLISH_DT >= [2024-13-01]" << "invalid date '[2024-13-01]'" << 15;
        QTest::newRow("date with sql") << "PUBLISH_DT >= [2024-01-01'] OR 1=1" << "invalid date" << 15;
        QTest::newRow("unterminated date") << "PUBLISH_DT >= [2024-01-01" << "invalid date" << 15;
        QTest::newRow("unterminated text") << "A == 'abc" << "unterminated text literal" << 6;
        QTest::newRow("decimal") << "A == 1.5" << "only integers are allowed" << 6;
        QTest::newRow("huge integer") << "A == 99999999999999999999" << "out of range" << 6;
        QTest::newRow("bare colon") << "A == :" << "expected a parameter name after ':'" << 6;
        QTest::newRow("non-ascii field") << "指标 == 1" << "unexpected character '指'" << 1;
    }

    void errors()
    {
        QFETCH(QString, filter);
        QFETCH(QString, message);
        QFETCH(int, position);
        const filter::ParseResult r = filter::parse(filter);
        QVERIFY(!r.ok());
        QVERIFY(!r.root);
        QVERIFY2(r.error.contains(message), qPrintable(r.error));
        QCOMPARE(r.position, position);
        QVERIFY(r.message().endsWith(QStringLiteral(" at position %1").arg(position)));
    }

    void limits()
    {
        const QString deep = QString(filter::MaxNesting + 1, QLatin1Char('(')) + QStringLiteral("A == 1")
                             + QString(filter::MaxNesting + 1, QLatin1Char(')'));
        filter::ParseResult r = filter::parse(deep);
        QVERIFY(r.error.contains(QStringLiteral("nested deeper")));
        const QString allowed = QString(filter::MaxNesting, QLatin1Char('(')) + QStringLiteral("A == 1") + QString(filter::MaxNesting, QLatin1Char(')'));
        QVERIFY(filter::parse(allowed).ok());
        r = filter::parse(QString(filter::MaxFilterLength + 1, QLatin1Char(' ')));
        QVERIFY(r.error.contains(QStringLiteral("longer than")));
        QStringList many;
        for (int i = 0; i < filter::MaxConditions; ++i)
            many.append(QStringLiteral("A==1"));
        QVERIFY(filter::parse(many.join(QStringLiteral("&&"))).ok());
        many.append(QStringLiteral("A==1"));
        r = filter::parse(many.join(QStringLiteral("&&")));
        QVERIFY(r.error.contains(QStringLiteral("more than 200 conditions")));
        QCOMPARE(r.position, filter::MaxConditions * 6 + 1);

        // Lists add up: several long ones in one filter are refused, not sent to SQL.
        QJsonArray longList;
        for (int i = 0; i < 5000; ++i)
            longList.append(i);
        const QJsonObject params{{QStringLiteral("L"), longList}};
        CompiledQuery q;
        QueryError e;
        QVERIFY(compileQuery(QStringLiteral("ZRN_GENERAL_INDEX_1"), QStringLiteral("IDX_ID in :L"), params, QJsonArray(), q, e));
        const QString fiveLists = QStringLiteral("IDX_ID in :L && IDX_ID in :L && IDX_ID in :L && IDX_ID in :L && IDX_ID in :L");
        QVERIFY(!compileQuery(QStringLiteral("ZRN_GENERAL_INDEX_1"), fiveLists, params, QJsonArray(), q, e));
        QVERIFY2(e.message.contains(QStringLiteral("binds more than 20000 values")), qPrintable(e.message));
    }

    // Random token soup either parses or fails with a position inside the text.
    void garbageNeverEscapes()
    {
        const QStringList pieces{"IDX_ID", " ", "==", "in", ":P", "&&", "||", "(", ")", "[2024-01-01]", "'x'", "12", "-", "[", "'", ";", ">=", "<", "!"};
        quint32 state = 12345;
        int parsed = 0;
        for (int i = 0; i < 3000; ++i) {
            QString text;
            const int n = 1 + int(state % 9);
            for (int k = 0; k < n; ++k) {
                state = state * 1664525u + 1013904223u;
                text += pieces.at(int((state >> 16) % quint32(pieces.size())));
            }
            const filter::ParseResult r = filter::parse(text);
            if (r.ok()) {
                ++parsed;
                continue;
            }
            QVERIFY2(r.position >= 1 && r.position <= text.size() + 1, qPrintable(text + QStringLiteral(" -> ") + r.message()));
        }
        QVERIFY(parsed > 0);
    }

    void compiledSqlUsesPlaceholders()
    {
        CompiledQuery q;
        QueryError e;
        const QJsonObject params{{"IDX_IDS", QJsonArray{2001000000001.0, 2001000000002.0}}, {"FROM", "[2024-06-01]"}};
        QVERIFY2(compileQuery(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"),
                              QStringLiteral("IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= :FROM && PUBLISH_DT <= [2024-12-31]"), params, QJsonArray(), q, e),
                 qPrintable(e.message));
        QVERIFY2(q.sql.contains(QStringLiteral("(v.idx_id IN (?,?) AND v.value_type = ? AND v.publish_dt >= ? AND v.publish_dt <= ?)")), qPrintable(q.sql));
        const auto ms = [](int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch(); };
        QCOMPARE(q.binds, (QVariantList{qint64(2001000000001), qint64(2001000000002), qint64(100803), ms(2024, 6, 1), ms(2024, 12, 31)}));

        // A hostile text literal is bound, and nothing of it reaches the SQL text.
        QVERIFY(compileQuery(QStringLiteral("ZRN_GET_PROPERTIES_BY_OBJNAME_1"), QStringLiteral("obj_eng_name == 'x''; DROP TABLE page; --'"),
                             QJsonObject(), QJsonArray(), q, e));
        QVERIFY(!q.sql.contains(QStringLiteral("DROP")));
        QCOMPARE(q.binds, QVariantList{QStringLiteral("x'; DROP TABLE page; --")});

        // Aliases filter but are not answered; an empty list selects nothing.
        QVERIFY(compileQuery(QStringLiteral("ZRN_INDEX_MAP_PRICE_1"), QStringLiteral("IDX_IDS in :L"), {{"L", QJsonArray()}}, QJsonArray(), q, e));
        QVERIFY(q.sql.contains(QStringLiteral("WHERE 1 = 0")));
        for (const FieldDef *f : q.columns)
            QVERIFY(f->name != QLatin1String("IDX_IDS"));
    }

    void compileErrors_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QJsonObject>("params");
        QTest::addColumn<QString>("message");
        const QString values = QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1");
        QTest::newRow("text for integer") << values << "IDX_ID == :ID" << QJsonObject{{"ID", "1 OR 1=1"}}
                                           << "parameter :ID must be an integer for IDX_ID, not text";
        QTest::newRow("fraction for integer") << values << "IDX_ID == :ID" << QJsonObject{{"ID", 1.5}} << "not a fractional number";
        QTest::newRow("list for ==") << values << "IDX_ID == :ID" << QJsonObject{{"ID", QJsonArray{1}}} << "is a list; compare lists with 'in'";
        QTest::newRow("text in a list") << values << "IDX_ID in :ID" << QJsonObject{{"ID", QJsonArray{1, "2"}}}
                                        << "element 2 of parameter :ID must be an integer";
        QTest::newRow("bad date text") << values << "PUBLISH_DT >= :D" << QJsonObject{{"D", "2024-02-30"}} << "parameter :D must be a date";
        QTest::newRow("date text with sql") << values << "PUBLISH_DT >= :D" << QJsonObject{{"D", "2024-01-01' OR '1'='1"}} << "must be a date";
        QTest::newRow("date literal on integer") << values << "VALUE_TYPE == [2024-01-01]" << QJsonObject() << "VALUE_TYPE is an integer field, not a date";
        QTest::newRow("integer on text") << "ZRN_GET_ALL_PRODUCT_1" << "PRODUCT_CODE == 1" << QJsonObject() << "PRODUCT_CODE is a text field";
        QTest::newRow("text on integer") << values << "IDX_ID == 'x'" << QJsonObject() << "text cannot be compared";
        QTest::newRow("null parameter") << values << "IDX_ID == :ID" << QJsonObject{{"ID", QJsonValue::Null}} << "not null";
        QTest::newRow("beyond 2^53") << values << "IDX_ID == :ID" << QJsonObject{{"ID", 1e17}} << "must be an integer";
    }

    void compileErrors()
    {
        QFETCH(QString, object);
        QFETCH(QString, filter);
        QFETCH(QJsonObject, params);
        QFETCH(QString, message);
        CompiledQuery q;
        QueryError e;
        QVERIFY(!compileQuery(object, filter, params, QJsonArray(), q, e));
        QCOMPARE(e.status, 400);
        QVERIFY2(e.message.contains(message), qPrintable(e.message));
    }
};

QTEST_GUILESS_MAIN(TestFilterParser)
#include "tst_filterparser.moc"
