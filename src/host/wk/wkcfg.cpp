#include "wkcfg.h"

#include "zhphostlog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <dlfcn.h>

namespace {

// The folder name of a shared kind inside the application or share folder.
QString sharedFolder(const QString &kind)
{
    if (kind == QLatin1String("wkskin"))
        return QStringLiteral("skins");
    if (kind == QLatin1String("wkdata"))
        return QStringLiteral("data");
    if (kind == QLatin1String("wkconfig"))
        return QStringLiteral("config");
    return QString();
}

// The folder this library was loaded from.
QString libraryDir()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&sharedFolder), &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

} // namespace

WKCfg *WKCfg::instance()
{
    static WKCfg cfg;
    return &cfg;
}

QString WKCfg::stdPath(const QString &kind, const QString &sub) const
{
    QString root = m_paths.value(kind);
    if (root.isEmpty()) {
        // Looking involves the file system: do it once per kind.
        auto found = m_defaults.constFind(kind);
        if (found == m_defaults.constEnd())
            found = m_defaults.insert(kind, defaultPath(kind));
        root = *found;
    }
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

QStringList WKCfg::searchPaths(const QString &kind) const
{
    const QString folder = sharedFolder(kind);
    if (folder.isEmpty())
        return {};
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList paths{appDir + QLatin1Char('/') + folder,
                      QDir::cleanPath(appDir + QStringLiteral("/" ZHP_BIN_TO_DATA "/") + folder)};
    const QString libDir = libraryDir();
    if (!libDir.isEmpty())
        paths << QDir::cleanPath(libDir + QStringLiteral("/" ZHP_LIB_TO_DATA "/") + folder);
    paths.removeDuplicates();
    return paths;
}

QString WKCfg::defaultPath(const QString &kind) const
{
    if (kind == QLatin1String("wkuser"))
        return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QStringList paths = searchPaths(kind);
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            return path;
    }
    // None exists: name the first, so that what fails to open says where it looked first.
    return paths.value(0);
}
