#pragma once

#include "zhphost_global.h"

#include <QHash>
#include <QString>

// The host's standard folders, by kind:
//   "wkskin"   skins root; each skin is a folder "<root>/<skin id>/" with style sheets and images/
//   "wkdata"   the application's read-only data (the map of China under map/)
//   "wkconfig" the application's configuration folder (servercfg.ini, appcfg.ini)
//   "wkuser"   the user's writable data (local database, export counts)
// Defaults sit beside the executable, except "wkuser" which is the platform's
// per-user data location; an application or a test may point any kind elsewhere.
class ZHPHOST_EXPORT WKCfg
{
public:
    static WKCfg *instance();

    // The folder of `kind`, followed by "/<sub>" when `sub` is not empty; "" for an unknown kind.
    QString stdPath(const QString &kind, const QString &sub = QString()) const;
    void setStdPath(const QString &kind, const QString &path);

private:
    WKCfg() = default;
    QString defaultPath(const QString &kind) const;

    QHash<QString, QString> m_paths;
};
