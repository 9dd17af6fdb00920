// The rule for calculated-index expressions, shared by the editor and the
// data builder, and the calculated index editor with the entry it returns.
#include "zhptest.h"

#include "charts/config/hxcalexpression.h"
#include "charts/config/hxcalindexwidget.h"
#include "charts/cpchartdatabuilder.h"

#include <QJSEngine>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>

#include <cmath>

using namespace HXCPControls;

namespace {

QVariantMap operand(const QString &name, qint64 id, const QString &unit, int frequency, const QString &frequencyName)
{
    return {{"INDEX_NAME", name}, {"IDX_ID", id}, {"UNIT_NAME", unit}, {"FREQUENCY_CODE", frequency},
            {"FREQUENCY_NAME", frequencyName}, {"IS_MULTI_VALUE", "0"}};
}

// A day's values of indices 101 and 102 through the data builder, with one calculated index.
QJsonValue evaluatedByCharts(const QString &idxIdExpression)
{
    const QJsonArray records{QJsonObject{{"IDX_ID", 101}, {"PUBLISH_DT", "2024-01-02"}, {"INDEX_VAL", 6}},
                             QJsonObject{{"IDX_ID", 102}, {"PUBLISH_DT", "2024-01-02"}, {"INDEX_VAL", 2}}};
    const QVariantMap cal{{"计算", QVariantMap{{"INDEX_NAME", "计算"}, {"isCal", true}, {"idxIdExpression", idxIdExpression}}}};
    const auto data = CPChartDataBuilder::makeData(1, QJsonDocument(records), {{"计算", 0}}, "IDX_ID", "INDEX_VAL",
                                                   "PUBLISH_DT", cal, {101, 102});
    return data.second.first().toObject().value("计算");
}

} // namespace

class TstCalExpression : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZhpTest::failOnUnexpectedMessages(); }

    // Each accepted expression is evaluated by the editor's evaluator and by
    // the charts alike; 101 is 6 and 102 is 2.
    void accepted_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<double>("value");
        QTest::newRow("mean") << "(101 + 102) / 2" << 4.0;
        QTest::newRow("signs and remainder") << "-101 % 4 + +102" << 0.0;
        QTest::newRow("pi") << "Math.PI * 102" << 2 * M_PI;
        QTest::newRow("functions") << "Math.max(101, 102, Math.sqrt(16)) - Math.abs(-1)" << 5.0;
        QTest::newRow("spaced member") << "Math . pow(102, 3)" << 8.0;
        QTest::newRow("numbers") << "101 * 1.5e2 + .5 - 0.25" << 900.25;
        QTest::newRow("newlines") << "101\n*\t102" << 12.0;
    }

    void accepted()
    {
        QFETCH(QString, expression);
        QFETCH(double, value);
        QVERIFY2(HXCalExpression::check(expression).isEmpty(), qPrintable(HXCalExpression::check(expression)));
        QCOMPARE(evaluatedByCharts(expression).toDouble(), value);
        HXCalEvaluator evaluator;
        QString withValues = expression;
        withValues.replace("101", "6").replace("102", "2");
        QCOMPARE(evaluator.evaluate(withValues), value);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << "  " << "empty expression";
        QTest::newRow("global") << "101 + this.x" << "unknown name \"this\" at position 7";
        QTest::newRow("glued call") << "1eval(101)" << "malformed number at position 1";
        QTest::newRow("function") << "(function(){while(true){}})()" << "unknown name \"function\" at position 2";
        QTest::newRow("statements") << "101; 102" << "unexpected character ';' at position 4";
        QTest::newRow("unknown member") << "Math.random()" << "unknown name \"Math.random\" at position 1";
        QTest::newRow("Math alone") << "Math" << "\"Math\" without a member at position 1";
        QTest::newRow("constant called") << "Math.PI(2)" << "unexpected \"(\" at position 8";
        QTest::newRow("function not called") << "Math.max + 1" << "\"(\" expected instead of \"+\" at position 10";
        QTest::newRow("octal") << "012 + 1" << "number with a leading zero at position 1";
        QTest::newRow("unbalanced") << "(101 + 102" << "the expression ends too early";
        QTest::newRow("two numbers") << "101 102" << "unexpected \"102\" at position 5";
        QTest::newRow("empty parentheses") << "()" << "unexpected \")\" at position 2";
        QTest::newRow("full-width") << "101（102）" << "unexpected character '（' at position 4";
        QTest::newRow("too deep") << QString(100, '(') + "1" + QString(100, ')') << "nested too deeply near \"(\" at position 66";
        QTest::newRow("too long") << QString("1+").repeated(2500) + "1" << "expression longer than 4000 characters";
    }

    void refused()
    {
        QFETCH(QString, expression);
        QFETCH(QString, reason);
        QCOMPARE(HXCalExpression::check(expression), reason);
        // The charts never run it: the series gets no number.
        if (!expression.trimmed().isEmpty()) {
            ZhpTest::expectMessage(QtWarningMsg, "calculated index 计算 not evaluated: " + reason);
            QVERIFY(evaluatedByCharts(expression).isNull());
        }
        HXCalEvaluator evaluator;
        QVERIFY(std::isnan(evaluator.evaluate(expression)));
    }

    void runawayEvaluationIsInterrupted()
    {
        HXCalEvaluator evaluator;
        const QJSValue loop = evaluator.engine()->evaluate("(function () { for (;;) {} })");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(std::isnan(evaluator.call(loop, {})));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(evaluator.interruptions(), 1);
        // The engine runs again afterwards, and short calls are never cut.
        for (int i = 0; i < 2000; ++i)
            QCOMPARE(evaluator.evaluate("Math.sqrt(16) + 1"), 5.0);
        QCOMPARE(evaluator.interruptions(), 1);
    }

    void substitutionLongestFirst()
    {
        // 甲_1 begins 甲_12: each is replaced on its own, in one pass.
        QStringList used;
        const QMap<QString, QString> ids{{"甲_1", "1"}, {"甲_12", "12"}, {"乙_3", "3"}};
        QCOMPARE(HXCalExpression::substitute("甲_12 - 甲_1*甲_12", ids, &used), QString("12 - 1*12"));
        QCOMPARE(used, (QStringList{"甲_1", "甲_12"}));
        QCOMPARE(HXCalExpression::substitute("甲_123", {{"甲_12", "1"}, {"1", "x"}}), QString("13"));
    }

    void calculatedEntry()
    {
        const QList<QVariantMap> operands{operand("螺纹钢 上海", 2001, "", 365, "日"), operand("螺纹钢", 20011, "元/吨", 12, "月"),
                                          operand("库存", 7, "万吨", 7, "周")};
        HXCalIndexWidget editor(nullptr, operands, -3);
        auto *text = editor.findChild<QTextEdit *>("textEdit");
        auto *name = editor.findChild<QLineEdit *>("lineEdit");
        auto *table = editor.findChild<QTableView *>("tableView");
        QCOMPARE(editor.validateInput(), QString("表达式不能为空"));

        // Clicking operands and operators writes the expression; the name follows it.
        auto click = [&](int row) {
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(row, 0)).center());
        };
        click(1);
        QTest::mouseClick(editor.findChild<QPushButton *>("btnSubtract"), Qt::LeftButton);
        click(0);
        QCOMPARE(text->toPlainText(), QString(" 螺纹钢_20011 - 螺纹钢 上海_2001"));
        QCOMPARE(name->text(), text->toPlainText());
        QVERIFY(editor.validate());
        QVariantMap entry = editor.data();
        // The unit of the first operand in identifier order that has one; the lowest frequency.
        const QVariantMap expected{{"INDEX_NAME", entry.value("INDEX_NAME")}, {"expression", "螺纹钢_20011 - 螺纹钢 上海_2001"},
                                   {"idxIdExpression", "20011 - 2001"}, {"IDX_ID", -3}, {"isCal", true}, {"isSeason", false},
                                   {"identifierMap", QVariantMap{{"螺纹钢 上海_2001", operands[0]}, {"螺纹钢_20011", operands[1]}}},
                                   {"UNIT_NAME", "元/吨"}, {"FREQUENCY_CODE", 12}, {"FREQUENCY_NAME", "月"}};
        QCOMPARE(QJsonObject::fromVariantMap(entry), QJsonObject::fromVariantMap(expected));

        // A typed name stays; an unknown word fails validation.
        name->setText("价差");
        text->setPlainText("库存_7 * 100 + 螺纹钢_20011");
        QCOMPARE(name->text(), QString("价差"));
        entry = editor.data();
        QCOMPARE(entry.value("idxIdExpression").toString(), QString("7 * 100 + 20011"));
        QCOMPARE(entry.value("UNIT_NAME").toString(), QString("万吨"));
        QCOMPARE(entry.value("FREQUENCY_CODE").toInt(), 12);
        QCOMPARE(editor.validateInput(), QString());
        text->setPlainText("库存_7 * 价格");
        QCOMPARE(editor.validateInput(), QString("验证失败"));
        // Test values that give no number fail too; Math constants pass.
        text->setPlainText("Math.sqrt(-库存_7)");
        QVERIFY(!editor.validate());
        text->setPlainText("Math.PI * 库存_7");
        QVERIFY(editor.validate());

        // An edited entry keeps its name, its ID and operands that the chart no longer offers.
        HXCalIndexWidget again(nullptr, {operands[2]}, -2);
        again.setData(entry);
        QCOMPARE(again.name(), QString("价差"));
        QVERIFY(again.validate());
        const QVariantMap edited = again.data();
        QCOMPARE(edited.value("IDX_ID").toLongLong(), -2LL);
        QCOMPARE(edited.value("idxIdExpression").toString(), QString("7 * 100 + 20011"));
    }
};

QTEST_MAIN(TstCalExpression)
#include "tst_calexpression.moc"
