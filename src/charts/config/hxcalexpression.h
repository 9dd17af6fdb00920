#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJSValue>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QJSEngine;

namespace HXCPControls {

// The one rule for calculated-index expressions, shared by the calculated
// index editor and the chart data builder: arithmetic (+ - * / %), unary
// signs, parentheses, decimal numbers and the functions and constants of
// `Math` (Math.max(a, b), Math.PI). Nothing else can be named: no globals,
// no assignment, no statements, no function definitions.
class HXCPCONTROLS_EXPORT HXCalExpression
{
public:
    struct Token
    {
        enum Kind { Number, Operator, Math };
        Kind kind;
        int position; // in the checked text
        QString text;
    };

    // Empty when `expression` follows the rule, else what is wrong and where.
    // `tokens` receives the tokens of an accepted expression.
    static QString check(const QString &expression, QList<Token> *tokens = nullptr);

    // Replaces every identifier of `replacements` in `text` by its value in
    // one pass, longest identifier first at each position, so that an
    // identifier that begins another one never eats it. `used` gets the
    // identifiers found, each once, in the order of the map.
    static QString substitute(const QString &text, const QMap<QString, QString> &replacements,
                              QStringList *used = nullptr);

    static constexpr int kMaxLength = 4000;
    static constexpr int kMaxDepth = 64;
};

// Evaluates expressions that follow the rule with one script engine. A call
// that spends more than the time budget (in the calling thread's processor
// time) is interrupted and gives NaN, so that nothing can hang the terminal.
class HXCPCONTROLS_EXPORT HXCalEvaluator
{
public:
    explicit HXCalEvaluator(int budgetMs = 5);
    ~HXCalEvaluator();

    // Checks and evaluates `expression`; NaN when refused or not a number.
    double evaluate(const QString &expression);

    // Compiles `body` into a function of `parameters`. The caller has checked
    // the expression that `body` was made from.
    QJSValue compile(const QString &body, const QStringList &parameters);
    // Calls a compiled function under the time budget; NaN on any error.
    double call(const QJSValue &function, const QJSValueList &arguments);

    QJSEngine *engine() const;
    // How many calls have been interrupted so far.
    int interruptions() const;

private:
    class Watchdog;
    QJSValue guarded(const std::function<QJSValue()> &run);

    std::unique_ptr<QJSEngine> m_engine;
    std::unique_ptr<Watchdog> m_watchdog;
    int m_interruptions = 0;
};

} // namespace HXCPControls
