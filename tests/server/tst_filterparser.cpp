// The filter language on its own: the syntax tree it builds, and the errors
// it reports with their positions.

#include "filterparser.h"

#include "zhptest.h"

#include <QRandomGenerator>
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
        QTest::newRow("no spaces") << "CAT_CODE==:PNODE&&SN>=-3" << "(CAT_CODE == :PNODE && SN >= -3)";
        QTest::newRow("and binds tighter than or") << "A == 1 || B == 2 && C == 3" << "(A == 1 || (B == 2 && C == 3))";
        QTest::newRow("parentheses") << "(A == 1 || B == 2) && C != 3" << "((A == 1 || B == 2) && C != 3)";
        QTest::newRow("all comparisons") << "A < 1 && B > 2 && C <= 3 && D >= 4" << "(((A < 1 && B > 2) && C <= 3) && D >= 4)";
        QTest::newRow("text with quote") << "AREA_NAME == '北京''s'" << "AREA_NAME == '北京's'";
        QTest::newRow("IN in capitals") << "IDX_IDS IN :IDX_IDS" << "IDX_IDS in :IDX_IDS";
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
        const int deep = filter::MaxNesting + 1;
        QTest::newRow("nested too deep") << QString(deep, '(') + "A == 1" + QString(deep, ')') << "nested deeper than 64 levels" << deep;
        QTest::newRow("too long") << QString(filter::MaxFilterLength + 1, ' ') << "longer than 8192 characters" << filter::MaxFilterLength + 1;
        QTest::newRow("too many conditions") << QStringLiteral("A==1&&").repeated(filter::MaxConditions) + "A==1" << "more than 200 conditions"
                                             << filter::MaxConditions * 6 + 1;
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
    }

    // Random token soup either parses or fails with a position inside the text.
    void garbageNeverEscapes()
    {
        const QStringList pieces{"IDX_ID", " ", "==", "in", ":P", "&&", "||", "(", ")", "[2024-01-01]", "'x'", "12", "-", "[", "'", ";", ">=", "<", "!"};
        QRandomGenerator random(12345);
        int parsed = 0;
        for (int i = 0; i < 3000; ++i) {
            QString text;
            for (int k = random.bounded(1, 10); k > 0; --k)
                text += pieces.at(random.bounded(pieces.size()));
            const filter::ParseResult r = filter::parse(text);
            parsed += r.ok();
            QVERIFY2(r.ok() || (r.position >= 1 && r.position <= text.size() + 1), qPrintable(text + QStringLiteral(" -> ") + r.message()));
        }
        QVERIFY(parsed > 0);
    }
};

QTEST_GUILESS_MAIN(TestFilterParser)
#include "tst_filterparser.moc"
