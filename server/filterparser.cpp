#include "filterparser.h"

#include <QVector>

namespace zhpserver {
namespace filter {

namespace {

enum class Tok { End, Ident, In, Param, Integer, Date, Text, Op, And, Or, LParen, RParen };

struct Token
{
    Tok kind = Tok::End;
    QString text; // as written (for messages); identifier, parameter name or literal text
    qint64 integer = 0;
    QDate date;
    CompareOp op = CompareOp::Equal;
    int position = 0; // 1-based
};

struct Failure
{
    QString error;
    int position = 0;
};

bool isIdentStart(QChar c) { return c == QLatin1Char('_') || (c.unicode() < 128 && c.isLetter()); }
bool isIdentChar(QChar c) { return isIdentStart(c) || (c.unicode() < 128 && c.isDigit()); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

QString shown(const QString &text)
{
    return text.size() > 40 ? text.left(40) + QStringLiteral("...") : text;
}

// Splits the text into tokens; stops at the first error.
bool tokenize(const QString &s, QVector<Token> &out, Failure &fail)
{
    const int n = s.size();
    int i = 0;
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.position = i + 1;
        if (isIdentStart(c)) {
            int j = i;
            while (j < n && isIdentChar(s.at(j)))
                ++j;
            t.text = s.mid(i, j - i);
            t.kind = t.text.compare(QLatin1String("in"), Qt::CaseInsensitive) == 0 ? Tok::In : Tok::Ident;
            i = j;
        } else if (c == QLatin1Char(':')) {
            int j = i + 1;
            if (j >= n || !isIdentStart(s.at(j))) {
                fail = {QStringLiteral("expected a parameter name after ':'"), i + 1};
                return false;
            }
            while (j < n && isIdentChar(s.at(j)))
                ++j;
            t.kind = Tok::Param;
            t.text = s.mid(i + 1, j - i - 1);
            i = j;
        } else if (isDigit(c) || (c == QLatin1Char('-') && i + 1 < n && isDigit(s.at(i + 1)))) {
            int j = i + 1;
            while (j < n && isDigit(s.at(j)))
                ++j;
            if (j < n && (isIdentChar(s.at(j)) || s.at(j) == QLatin1Char('.'))) {
                fail = {QStringLiteral("malformed number '%1'; only integers are allowed").arg(shown(s.mid(i, j - i + 1))), i + 1};
                return false;
            }
            t.text = s.mid(i, j - i);
            bool ok = false;
            t.integer = t.text.toLongLong(&ok);
            if (!ok) {
                fail = {QStringLiteral("integer %1 is out of range").arg(shown(t.text)), i + 1};
                return false;
            }
            t.kind = Tok::Integer;
            i = j;
        } else if (c == QLatin1Char('[')) {
            const int close = s.indexOf(QLatin1Char(']'), i);
            const QString inner = close < 0 ? s.mid(i + 1, 12) : s.mid(i + 1, close - i - 1);
            const QDate d = QDate::fromString(inner, QStringLiteral("yyyy-MM-dd"));
            if (close < 0 || inner.size() != 10 || !d.isValid()) {
                fail = {QStringLiteral("invalid date '[%1%2'; dates are written [yyyy-MM-dd]")
                            .arg(shown(inner), close < 0 ? QString() : QStringLiteral("]")),
                        i + 1};
                return false;
            }
            t.kind = Tok::Date;
            t.date = d;
            t.text = s.mid(i, close - i + 1);
            i = close + 1;
        } else if (c == QLatin1Char('\'')) {
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && s.at(j + 1) == QLatin1Char('\'')) { // '' stands for one quote
                        value += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value += s.at(j++);
            }
            if (!closed) {
                fail = {QStringLiteral("unterminated text literal"), i + 1};
                return false;
            }
            t.kind = Tok::Text;
            t.text = value;
            i = j + 1;
        } else {
            const QStringRef two = s.midRef(i, 2);
            struct OpText { const char *text; Tok kind; CompareOp op; };
            static const OpText ops[] = {
                {"==", Tok::Op, CompareOp::Equal},        {"!=", Tok::Op, CompareOp::NotEqual},
                {"<=", Tok::Op, CompareOp::LessEqual},    {">=", Tok::Op, CompareOp::GreaterEqual},
                {"&&", Tok::And, CompareOp::Equal},       {"||", Tok::Or, CompareOp::Equal},
                {"<", Tok::Op, CompareOp::Less},          {">", Tok::Op, CompareOp::Greater},
                {"(", Tok::LParen, CompareOp::Equal},     {")", Tok::RParen, CompareOp::Equal},
            };
            bool matched = false;
            for (const OpText &o : ops) {
                const QLatin1String text(o.text);
                if ((text.size() == 2 && two == text) || (text.size() == 1 && c == text.at(0))) {
                    t.kind = o.kind;
                    t.op = o.op;
                    t.text = text;
                    i += text.size();
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                const bool half = c == QLatin1Char('=') || c == QLatin1Char('&') || c == QLatin1Char('|') || c == QLatin1Char('!');
                const QChar second = c == QLatin1Char('!') ? QLatin1Char('=') : c;
                fail.error = half ? QStringLiteral("unexpected character '%1' (did you mean '%1%2'?)").arg(c).arg(second)
                                  : QStringLiteral("unexpected character '%1'").arg(c);
                fail.position = i + 1;
                return false;
            }
        }
        out.append(t);
    }
    Token end;
    end.kind = Tok::End;
    end.position = n + 1;
    out.append(end);
    return true;
}

QString describe(const Token &t)
{
    switch (t.kind) {
    case Tok::End: return QStringLiteral("the end of the filter");
    case Tok::Param: return QStringLiteral("':%1'").arg(t.text);
    case Tok::Text: return QStringLiteral("text '%1'").arg(shown(t.text));
    default: return QStringLiteral("'%1'").arg(shown(t.text));
    }
}

class Parser
{
public:
    explicit Parser(const QVector<Token> &tokens) : m_t(tokens) {}

    std::unique_ptr<Node> parseAll(Failure &fail)
    {
        auto root = parseOr(fail, 0);
        if (!root)
            return nullptr;
        if (peek().kind != Tok::End) {
            fail = {QStringLiteral("unexpected %1 after a complete condition; conditions are joined with && or ||").arg(describe(peek())),
                    peek().position};
            return nullptr;
        }
        return root;
    }

private:
    const Token &peek() const { return m_t.at(m_pos); }
    const Token &next() { return m_t.at(m_pos++); }

    std::unique_ptr<Node> parseOr(Failure &fail, int depth)
    {
        auto left = parseAnd(fail, depth);
        while (left && peek().kind == Tok::Or) {
            next();
            auto right = parseAnd(fail, depth);
            if (!right)
                return nullptr;
            left = join(Node::Or, std::move(left), std::move(right));
        }
        return left;
    }

    std::unique_ptr<Node> parseAnd(Failure &fail, int depth)
    {
        auto left = parsePrimary(fail, depth);
        while (left && peek().kind == Tok::And) {
            next();
            auto right = parsePrimary(fail, depth);
            if (!right)
                return nullptr;
            left = join(Node::And, std::move(left), std::move(right));
        }
        return left;
    }

    static std::unique_ptr<Node> join(Node::Kind kind, std::unique_ptr<Node> l, std::unique_ptr<Node> r)
    {
        auto n = std::make_unique<Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    std::unique_ptr<Node> parsePrimary(Failure &fail, int depth)
    {
        const Token &t = peek();
        if (t.kind == Tok::LParen) {
            if (depth >= MaxNesting) {
                fail = {QStringLiteral("parentheses nested deeper than %1 levels").arg(MaxNesting), t.position};
                return nullptr;
            }
            next();
            auto inner = parseOr(fail, depth + 1);
            if (!inner)
                return nullptr;
            if (peek().kind != Tok::RParen) {
                fail = {QStringLiteral("expected ')' to close the '(' at position %1, found %2").arg(t.position).arg(describe(peek())),
                        peek().position};
                return nullptr;
            }
            next();
            return inner;
        }
        if (t.kind != Tok::Ident) {
            fail = {QStringLiteral("expected a field name, found %1").arg(describe(t)), t.position};
            return nullptr;
        }
        if (++m_conditions > MaxConditions) {
            fail = {QStringLiteral("more than %1 conditions").arg(MaxConditions), t.position};
            return nullptr;
        }
        const Token field = next();
        const Token op = next();
        if (op.kind != Tok::Op && op.kind != Tok::In) {
            fail = {QStringLiteral("expected a comparison (==, !=, <, <=, >, >=, in) after %1, found %2").arg(field.text, describe(op)),
                    op.position};
            return nullptr;
        }
        auto n = std::make_unique<Node>();
        n->kind = Node::Compare;
        n->field = field.text;
        n->fieldPosition = field.position;
        n->op = op.kind == Tok::In ? CompareOp::In : op.op;

        const Token v = next();
        n->value.position = v.position;
        if (n->op == CompareOp::In) {
            if (v.kind != Tok::Param) {
                fail = {QStringLiteral("'in' takes a :PARAMETER bound to a list, found %1").arg(describe(v)), v.position};
                return nullptr;
            }
        }
        switch (v.kind) {
        case Tok::Integer:
            n->value.kind = Value::Integer;
            n->value.integer = v.integer;
            n->value.text = v.text;
            break;
        case Tok::Date:
            n->value.kind = Value::Date;
            n->value.date = v.date;
            n->value.text = v.text;
            break;
        case Tok::Text:
            n->value.kind = Value::Text;
            n->value.text = v.text;
            break;
        case Tok::Param:
            n->value.kind = Value::Parameter;
            n->value.text = v.text;
            break;
        default:
            fail = {QStringLiteral("expected a value after %1 %2 (an integer, a date [yyyy-MM-dd], 'text' or :PARAMETER), found %3")
                        .arg(field.text, op.text, describe(v)),
                    v.position};
            return nullptr;
        }
        return n;
    }

    const QVector<Token> &m_t;
    int m_pos = 0;
    int m_conditions = 0;
};

} // namespace

QString ParseResult::message() const
{
    return ok() ? QString() : QStringLiteral("%1 at position %2").arg(error).arg(position);
}

QString opText(CompareOp op)
{
    switch (op) {
    case CompareOp::Equal: return QStringLiteral("==");
    case CompareOp::NotEqual: return QStringLiteral("!=");
    case CompareOp::Less: return QStringLiteral("<");
    case CompareOp::LessEqual: return QStringLiteral("<=");
    case CompareOp::Greater: return QStringLiteral(">");
    case CompareOp::GreaterEqual: return QStringLiteral(">=");
    case CompareOp::In: return QStringLiteral("in");
    }
    return QString();
}

ParseResult parse(const QString &text)
{
    ParseResult result;
    if (text.size() > MaxFilterLength) {
        result.error = QStringLiteral("filter longer than %1 characters").arg(MaxFilterLength);
        result.position = MaxFilterLength + 1;
        return result;
    }
    QVector<Token> tokens;
    Failure fail;
    if (!tokenize(text, tokens, fail)) {
        result.error = fail.error;
        result.position = fail.position;
        return result;
    }
    if (tokens.size() == 1) // only the end: an empty filter selects every row
        return result;
    Parser parser(tokens);
    result.root = parser.parseAll(fail);
    if (!result.root) {
        result.error = fail.error;
        result.position = fail.position;
    }
    return result;
}

} // namespace filter
} // namespace zhpserver
