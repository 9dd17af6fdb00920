#include "jsonguard.h"

#include <QSet>

#include <cstring>

#include <vector>

namespace zhpserver {

namespace {

constexpr int MaxDepth = 1024;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads the string that starts at json[i] == '"'; leaves i after its closing
// quote. False at a syntax error.
bool readString(const QByteArray &json, int &i, QString *out)
{
    QByteArray raw;
    QString decoded;
    const auto flush = [&] {
        if (out && !raw.isEmpty())
            decoded += QString::fromUtf8(raw);
        raw.clear();
    };
    for (++i; i < json.size(); ++i) {
        const char c = json.at(i);
        if (c == '"') {
            ++i;
            flush();
            if (out)
                *out = decoded;
            return true;
        }
        if (c != '\\') {
            if (out)
                raw.append(c);
            continue;
        }
        if (++i >= json.size())
            return false;
        const char e = json.at(i);
        if (e == 'u') {
            if (i + 4 >= json.size())
                return false;
            int code = 0;
            for (int k = 1; k <= 4; ++k) {
                const int d = hexDigit(json.at(i + k));
                if (d < 0)
                    return false;
                code = code * 16 + d;
            }
            i += 4;
            flush();
            decoded += QChar(ushort(code));
        } else if (out) {
            static const char from[] = "\"\\/bfnrt";
            static const char to[] = "\"\\/\b\f\n\r\t";
            const char *p = std::strchr(from, e);
            if (!p || !*p)
                return false;
            raw.append(to[p - from]);
        }
    }
    return false;
}

} // namespace

QString duplicateJsonKey(const QByteArray &json)
{
    // One entry per open container: the keys seen so far (arrays keep none),
    // and whether a key comes next.
    struct Level
    {
        bool object = false;
        bool expectKey = false;
        QSet<QString> keys;
    };
    std::vector<Level> levels;
    for (int i = 0; i < json.size();) {
        const char c = json.at(i);
        if (isSpace(c) || c == ':') {
            ++i;
        } else if (c == '{' || c == '[') {
            if (int(levels.size()) >= MaxDepth)
                return QString();
            levels.push_back({c == '{', c == '{', {}});
            ++i;
        } else if (c == '}' || c == ']') {
            if (levels.empty())
                return QString();
            levels.pop_back();
            ++i;
        } else if (c == ',') {
            if (!levels.empty() && levels.back().object)
                levels.back().expectKey = true;
            ++i;
        } else if (c == '"') {
            const bool key = !levels.empty() && levels.back().object && levels.back().expectKey;
            QString name;
            if (!readString(json, i, key ? &name : nullptr))
                return QString();
            if (key) {
                Level &level = levels.back();
                level.expectKey = false;
                if (level.keys.contains(name))
                    return name.isNull() ? QStringLiteral("") : name;
                level.keys.insert(name);
            }
        } else {
            ++i; // numbers, literals: nothing to remember
        }
    }
    return QString();
}

} // namespace zhpserver
