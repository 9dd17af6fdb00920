#pragma once

#include "zhphost_global.h"

#include <QHash>
#include <QString>

// The host's standard folders, by kind:
//   "wkskin"   skins root; each skin is a folder "<root>/<skin id>/" with style sheets and images/
//   "wkdata"   the application's read-only data (the map of China under map/)
//   "wkconfig" the application's configuration folder (servercfg.ini, appcfg.ini)
//   "wkuser"   the user's writable data (local database, export counts)
// The shared kinds ("wkskin", "wkdata", "wkconfig") are looked for beside the
// executable (a build tree), then in the installed share folder relative to the
// executable, then relative to this library (a host application installed
// elsewhere); "wkuser" is the platform's per-user data location. An application
// or a test may point any kind elsewhere.
class ZHPHOST_EXPORT WKCfg
{
public:
    static WKCfg *instance();

    // The folder of `kind`, followed by "/<sub>" when `sub` is not empty; "" for an unknown kind.
    QString stdPath(const QString &kind, const QString &sub = QString()) const;
    void setStdPath(const QString &kind, const QString &path);

    // The folders tried for a shared kind, in order; empty for other kinds.
    QStringList searchPaths(const QString &kind) const;

private:
    WKCfg() = default;
    QString defaultPath(const QString &kind) const;

    QHash<QString, QString> m_paths;
    mutable QHash<QString, QString> m_defaults;
};
