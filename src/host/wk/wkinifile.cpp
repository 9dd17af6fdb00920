#include "wkinifile.h"

#include <QFile>
#include <QTextStream>

namespace WKIniFile {

QString rawValue(const QString &path, const QString &groupAndKey)
{
    const int slash = groupAndKey.indexOf(QLatin1Char('/'));
    const QString group = slash < 0 ? QStringLiteral("General") : groupAndKey.left(slash);
    const QString key = slash < 0 ? groupAndKey : groupAndKey.mid(slash + 1);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream in(&file);
    in.setCodec("UTF-8");
    QString current = QStringLiteral("General");
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && current == group && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

} // namespace WKIniFile
