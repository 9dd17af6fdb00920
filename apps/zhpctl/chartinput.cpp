#include "chartinput.h"

#include "apphost.h"

namespace ChartInput {

bool parseOptions(const QStringList &args, const QStringList &known, QHash<QString, QString> *values, QString *error)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!arg.startsWith(QLatin1String("--")) || !known.contains(arg.mid(2))) {
            *error = QStringLiteral("unexpected argument %1").arg(arg);
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = QStringLiteral("%1 needs a value").arg(arg);
            return false;
        }
        values->insert(arg.mid(2), args[++i]);
    }
    return true;
}

bool readJson(const QString &path, QJsonDocument *doc, QString *error)
{
    QByteArray text;
    if (!AppHost::readInput(path, &text, error))
        return false;
    QJsonParseError parseError;
    *doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = QStringLiteral("%1: %2 at offset %3").arg(path, parseError.errorString()).arg(parseError.offset);
        return false;
    }
    return true;
}

} // namespace ChartInput
