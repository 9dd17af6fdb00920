#include "wkcfg.h"

#include "zhphostlog.h"

#include <QCoreApplication>
#include <QStandardPaths>

WKCfg *WKCfg::instance()
{
    static WKCfg cfg;
    return &cfg;
}

QString WKCfg::stdPath(const QString &kind, const QString &sub) const
{
    QString root = m_paths.value(kind);
    if (root.isEmpty())
        root = defaultPath(kind);
    if (root.isEmpty()) {
        qCWarning(lcHost) << "unknown path kind" << kind;
        return QString();
    }
    return sub.isEmpty() ? root : root + QLatin1Char('/') + sub;
}

void WKCfg::setStdPath(const QString &kind, const QString &path)
{
    m_paths.insert(kind, path);
}

QString WKCfg::defaultPath(const QString &kind) const
{
    const QString appDir = QCoreApplication::applicationDirPath();
    if (kind == QLatin1String("wkskin"))
        return appDir + QStringLiteral("/skins");
    if (kind == QLatin1String("wkdata"))
        return appDir + QStringLiteral("/data");
    if (kind == QLatin1String("wkconfig"))
        return appDir + QStringLiteral("/config");
    if (kind == QLatin1String("wkuser"))
        return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return QString();
}
