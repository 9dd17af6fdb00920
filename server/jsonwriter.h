#pragma once

#include <QByteArray>
#include <QString>

#include <charconv>
#include <cmath>

namespace zhpserver {

// Appends JSON scalars to a byte buffer. Used where answers are large (the
// datasource rows) and building QJsonArray objects first would cost more
// than the query itself.
namespace json {

inline void appendString(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    out.reserve(out.size() + utf8.size() + 2);
    out.append('"');
    for (const char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        default:
            if (c < 0x20) {
                static const char hex[] = "0123456789abcdef";
                const char esc[] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
                out.append(esc, 6);
            } else {
                out.append(ch);
            }
        }
    }
    out.append('"');
}

inline void appendInteger(QByteArray &out, qint64 value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, int(r.ptr - buf));
}

// Shortest text that reads back as the same double; null for NaN and infinities.
inline void appendReal(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, int(r.ptr - buf));
}

} // namespace json
} // namespace zhpserver
