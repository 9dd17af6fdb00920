#include "paletteconfig.h"

#include "wk/wkcfg.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace HXCPControls {

QString paletteConfigPath()
{
    const QString besideExecutable = QCoreApplication::applicationDirPath() + QStringLiteral("/config/zhp_v2.ini");
    if (QFileInfo::exists(besideExecutable))
        return besideExecutable;
    // Installed, the configuration sits in the host's shared configuration folder.
    const QString installed = WKCfg::instance()->stdPath(QStringLiteral("wkconfig"), QStringLiteral("zhp_v2.ini"));
    return QFileInfo::exists(installed) ? installed : besideExecutable;
}

QList<PaletteGroup> readPaletteConfig(const QString &path, const QStringList &factoryKeys)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    // A count beyond the groups in the file reads no further than the last of them.
    int last = -1;
    for (const QString &name : settings.childGroups()) {
        bool ok = false;
        const int index = name.startsWith(QLatin1String("group")) ? name.mid(5).toInt(&ok) : -1;
        if (ok)
            last = qMax(last, index);
    }
    const int count = qMin(settings.value(QStringLiteral("group/count"), 0).toInt(), last + 1);

    QList<PaletteGroup> groups;
    for (int i = 0; i < count; ++i) {
        const QString prefix = QStringLiteral("group%1/").arg(i);
        const QString textIcons = settings.value(prefix + QStringLiteral("textIcons")).toString();
        if (textIcons.isEmpty())
            continue;
        PaletteGroup group;
        group.name = settings.value(prefix + QStringLiteral("name")).toString();
        for (const QString &piece : textIcons.split(QLatin1Char(';'))) {
            const QStringList parts = piece.split(QStringLiteral("=>"));
            if (parts.size() < 2 || !factoryKeys.contains(parts.first(), Qt::CaseInsensitive))
                continue;
            group.entries.append(parts);
        }
        if (!group.entries.isEmpty())
            groups.append(group);
    }
    return groups;
}

} // namespace HXCPControls
