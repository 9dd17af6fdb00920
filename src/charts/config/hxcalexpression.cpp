#include "hxcalexpression.h"

#include <QJSEngine>
#include <QSet>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#if defined(Q_OS_UNIX)
#include <pthread.h>
#include <time.h>
#endif

namespace HXCPControls {

namespace {

const QSet<QString> &mathFunctions()
{
    // Math.random is left out: a chart value must not change between draws.
    static const QSet<QString> names{
        QStringLiteral("abs"),   QStringLiteral("acos"),  QStringLiteral("acosh"), QStringLiteral("asin"),
        QStringLiteral("asinh"), QStringLiteral("atan"),  QStringLiteral("atan2"), QStringLiteral("atanh"),
        QStringLiteral("cbrt"),  QStringLiteral("ceil"),  QStringLiteral("cos"),   QStringLiteral("cosh"),
        QStringLiteral("exp"),   QStringLiteral("expm1"), QStringLiteral("floor"), QStringLiteral("fround"),
        QStringLiteral("hypot"), QStringLiteral("log"),   QStringLiteral("log10"), QStringLiteral("log1p"),
        QStringLiteral("log2"),  QStringLiteral("max"),   QStringLiteral("min"),   QStringLiteral("pow"),
        QStringLiteral("round"), QStringLiteral("sign"),  QStringLiteral("sin"),   QStringLiteral("sinh"),
        QStringLiteral("sqrt"),  QStringLiteral("tan"),   QStringLiteral("tanh"),  QStringLiteral("trunc")};
    return names;
}

const QSet<QString> &mathConstants()
{
    static const QSet<QString> names{QStringLiteral("E"),      QStringLiteral("LN10"),    QStringLiteral("LN2"),
                                     QStringLiteral("LOG10E"), QStringLiteral("LOG2E"),   QStringLiteral("PI"),
                                     QStringLiteral("SQRT1_2"), QStringLiteral("SQRT2")};
    return names;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Cuts the text into numbers, operators and Math members.
QString tokenize(const QString &text, QList<HXCalExpression::Token> &tokens)
{
    static const QString operators = QStringLiteral("+-*/%(),");
    for (int i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < text.size() && text.at(i + 1).isDigit())) {
            const int start = i;
            while (i < text.size() && text.at(i).isDigit())
                ++i;
            if (i - start > 1 && text.at(start) == QLatin1Char('0'))
                return QStringLiteral("number with a leading zero at position %1").arg(start + 1);
            if (i < text.size() && text.at(i) == QLatin1Char('.')) {
                ++i;
                while (i < text.size() && text.at(i).isDigit())
                    ++i;
            }
            if (i < text.size() && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
                int j = i + 1;
                if (j < text.size() && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
                    ++j;
                if (j >= text.size() || !text.at(j).isDigit())
                    return QStringLiteral("malformed number at position %1").arg(start + 1);
                while (j < text.size() && text.at(j).isDigit())
                    ++j;
                i = j;
            }
            if (i < text.size() && (isWordChar(text.at(i)) || text.at(i) == QLatin1Char('.')))
                return QStringLiteral("malformed number at position %1").arg(start + 1);
            tokens.append({HXCalExpression::Token::Number, start, text.mid(start, i - start)});
            continue;
        }
        if (operators.contains(c)) {
            tokens.append({HXCalExpression::Token::Operator, i, QString(c)});
            ++i;
            continue;
        }
        if (isWordChar(c)) {
            const int start = i;
            while (i < text.size() && isWordChar(text.at(i)))
                ++i;
            const QString word = text.mid(start, i - start);
            if (word != QLatin1String("Math"))
                return QStringLiteral("unknown name \"%1\" at position %2").arg(word, QString::number(start + 1));
            int j = i;
            while (j < text.size() && text.at(j).isSpace())
                ++j;
            if (j >= text.size() || text.at(j) != QLatin1Char('.'))
                return QStringLiteral("\"Math\" without a member at position %1").arg(start + 1);
            ++j;
            while (j < text.size() && text.at(j).isSpace())
                ++j;
            const int memberStart = j;
            while (j < text.size() && isWordChar(text.at(j)))
                ++j;
            const QString member = text.mid(memberStart, j - memberStart);
            if (!mathFunctions().contains(member) && !mathConstants().contains(member))
                return QStringLiteral("unknown name \"Math.%1\" at position %2").arg(member, QString::number(start + 1));
            tokens.append({HXCalExpression::Token::Math, start, member});
            i = j;
            continue;
        }
        return QStringLiteral("unexpected character '%1' at position %2").arg(c).arg(i + 1);
    }
    return QString();
}

// Recursive descent over the tokens:
//   expr  := term (('+'|'-') term)*
//   term  := unary (('*'|'/'|'%') unary)*
//   unary := ('+'|'-') unary | primary
//   primary := number | '(' expr ')' | Math.constant | Math.function '(' [expr (',' expr)*] ')'
class Parser
{
public:
    explicit Parser(const QList<HXCalExpression::Token> &tokens)
        : m_tokens(tokens)
    {
    }

    QString parse()
    {
        expr(0);
        if (m_error.isEmpty() && m_pos < m_tokens.size())
            fail(QStringLiteral("unexpected \"%1\""));
        return m_error;
    }

private:
    bool atOperator(const char *ops) const
    {
        return m_pos < m_tokens.size() && m_tokens[m_pos].kind == HXCalExpression::Token::Operator
               && QByteArray(ops).contains(m_tokens[m_pos].text.at(0).toLatin1());
    }

    void fail(const QString &message)
    {
        if (!m_error.isEmpty())
            return;
        if (m_pos >= m_tokens.size()) {
            m_error = QStringLiteral("the expression ends too early");
            return;
        }
        m_error = message.arg(m_tokens[m_pos].text) + QStringLiteral(" at position %1").arg(m_tokens[m_pos].position + 1);
    }

    void expr(int depth)
    {
        if (depth > HXCalExpression::kMaxDepth) {
            fail(QStringLiteral("nested too deeply near \"%1\""));
            return;
        }
        term(depth);
        while (m_error.isEmpty() && atOperator("+-")) {
            ++m_pos;
            term(depth);
        }
    }

    void term(int depth)
    {
        unary(depth);
        while (m_error.isEmpty() && atOperator("*/%")) {
            ++m_pos;
            unary(depth);
        }
    }

    void unary(int depth)
    {
        int signs = 0;
        while (atOperator("+-")) {
            ++m_pos;
            if (++signs > HXCalExpression::kMaxDepth) {
                fail(QStringLiteral("too many signs before \"%1\""));
                return;
            }
        }
        primary(depth);
    }

    void primary(int depth)
    {
        if (m_pos >= m_tokens.size()) {
            fail(QString());
            return;
        }
        const HXCalExpression::Token &t = m_tokens[m_pos];
        if (t.kind == HXCalExpression::Token::Number) {
            ++m_pos;
            return;
        }
        if (t.kind == HXCalExpression::Token::Math) {
            ++m_pos;
            if (mathConstants().contains(t.text))
                return;
            if (!atOperator("(")) {
                fail(QStringLiteral("\"(\" expected instead of \"%1\""));
                return;
            }
            ++m_pos;
            if (atOperator(")")) {
                ++m_pos;
                return;
            }
            for (;;) {
                expr(depth + 1);
                if (!m_error.isEmpty())
                    return;
                if (atOperator(",")) {
                    ++m_pos;
                    continue;
                }
                if (atOperator(")")) {
                    ++m_pos;
                    return;
                }
                fail(QStringLiteral("\")\" expected instead of \"%1\""));
                return;
            }
        }
        if (atOperator("(")) {
            ++m_pos;
            expr(depth + 1);
            if (!m_error.isEmpty())
                return;
            if (!atOperator(")")) {
                fail(QStringLiteral("\")\" expected instead of \"%1\""));
                return;
            }
            ++m_pos;
            return;
        }
        fail(QStringLiteral("unexpected \"%1\""));
    }

    const QList<HXCalExpression::Token> &m_tokens;
    int m_pos = 0;
    QString m_error;
};

} // namespace

QString HXCalExpression::check(const QString &expression, QList<Token> *tokens)
{
    if (expression.trimmed().isEmpty())
        return QStringLiteral("empty expression");
    if (expression.size() > kMaxLength)
        return QStringLiteral("expression longer than %1 characters").arg(kMaxLength);
    QList<Token> list;
    QString error = tokenize(expression, list);
    if (error.isEmpty())
        error = Parser(list).parse();
    if (error.isEmpty() && tokens)
        *tokens = list;
    return error;
}

QString HXCalExpression::substitute(const QString &text, const QMap<QString, QString> &replacements, QStringList *used)
{
    QStringList byLength = replacements.keys();
    byLength.removeAll(QString());
    std::stable_sort(byLength.begin(), byLength.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
    QSet<QString> found;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size();) {
        bool matched = false;
        for (const QString &identifier : qAsConst(byLength)) {
            if (text.midRef(i, identifier.size()) == identifier) {
                out += replacements.value(identifier);
                found.insert(identifier);
                i += identifier.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            out += text.at(i++);
    }
    if (used) {
        used->clear();
        for (auto it = replacements.begin(); it != replacements.end(); ++it) {
            if (found.contains(it.key()))
                used->append(it.key());
        }
    }
    return out;
}

// Watches the calls of one evaluator from a thread of its own and interrupts
// the engine when a call has used up its budget of processor time. Processor
// time of the calling thread, not wall time: a busy machine that holds the
// thread back must not turn a valid value into NaN.
class HXCalEvaluator::Watchdog
{
public:
    Watchdog(QJSEngine *engine, int budgetMs)
        : m_engine(engine)
        , m_budget(std::chrono::milliseconds(budgetMs))
        , m_thread([this] { run(); })
    {
    }

    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }

    void arm()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
#if defined(Q_OS_UNIX)
        if (!m_haveClock)
            m_haveClock = pthread_getcpuclockid(pthread_self(), &m_clock) == 0;
#endif
        ++m_generation;
        m_armed = true;
        m_fired = false;
        if (m_idle)
            m_wake.notify_one();
    }

    // True when the call was interrupted; the engine runs again afterwards.
    bool disarm()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = false;
        if (m_fired)
            m_engine->setInterrupted(false);
        return m_fired;
    }

private:
    std::chrono::nanoseconds now() const
    {
#if defined(Q_OS_UNIX)
        timespec ts;
        if (m_haveClock && clock_gettime(m_clock, &ts) == 0)
            return std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
#endif
        return std::chrono::steady_clock::now().time_since_epoch();
    }

    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            if (!m_armed) {
                m_idle = true;
                m_wake.wait(lock, [this] { return m_armed || m_stop; });
                m_idle = false;
                continue;
            }
            // The clock is read here rather than by arm(): a call that ends
            // before the watchdog looks costs the caller no clock reading.
            if (m_generation != m_observed) {
                m_observed = m_generation;
                m_start = now();
            }
            const quint64 generation = m_generation;
            m_wake.wait_for(lock, std::chrono::milliseconds(1));
            if (m_armed && !m_fired && m_generation == generation && now() - m_start > m_budget) {
                m_engine->setInterrupted(true);
                m_fired = true;
            }
        }
    }

    QJSEngine *m_engine;
    const std::chrono::nanoseconds m_budget;
    std::mutex m_mutex;
    std::condition_variable m_wake;
#if defined(Q_OS_UNIX)
    clockid_t m_clock{};
    bool m_haveClock = false;
#endif
    std::chrono::nanoseconds m_start{};
    quint64 m_generation = 0;
    quint64 m_observed = 0;
    bool m_armed = false;
    bool m_fired = false;
    bool m_idle = false;
    bool m_stop = false;
    std::thread m_thread; // last: starts once everything above is set
};

HXCalEvaluator::HXCalEvaluator(int budgetMs)
    : m_engine(new QJSEngine)
{
    m_watchdog.reset(new Watchdog(m_engine.get(), budgetMs));
}

HXCalEvaluator::~HXCalEvaluator() = default;

QJSEngine *HXCalEvaluator::engine() const
{
    return m_engine.get();
}

int HXCalEvaluator::interruptions() const
{
    return m_interruptions;
}

QJSValue HXCalEvaluator::guarded(const std::function<QJSValue()> &run)
{
    m_watchdog->arm();
    QJSValue result = run();
    if (m_watchdog->disarm()) {
        ++m_interruptions;
        return QJSValue(qQNaN());
    }
    return result;
}

double HXCalEvaluator::evaluate(const QString &expression)
{
    if (!HXCalExpression::check(expression).isEmpty())
        return qQNaN();
    const QJSValue result = guarded([&] { return m_engine->evaluate(expression); });
    return result.isError() ? qQNaN() : result.toNumber();
}

QJSValue HXCalEvaluator::compile(const QString &body, const QStringList &parameters)
{
    return guarded([&] {
        return m_engine->evaluate(QStringLiteral("(function(%1) { return (%2); })")
                                      .arg(parameters.join(QLatin1Char(',')), body));
    });
}

double HXCalEvaluator::call(const QJSValue &function, const QJSValueList &arguments)
{
    if (!function.isCallable())
        return qQNaN();
    // Calling is not const in the script API although it changes nothing here.
    QJSValue callable = function;
    const QJSValue result = guarded([&] { return callable.call(arguments); });
    return result.isError() ? qQNaN() : result.toNumber();
}

} // namespace HXCPControls
