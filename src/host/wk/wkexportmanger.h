#pragma once

#include "zhphost_global.h"

#include <QDate>
#include <QHash>
#include <QString>

// Counts, per user and per day, how many indices a user has exported. The
// counts are kept in "export_counts.json" in the user's data folder, so the
// daily quota holds across restarts; a new day starts every user at zero.
class ZHPHOST_EXPORT WKExportManger
{
public:
    static WKExportManger *instance();

    int getExportedIdxCount(const QString &user);
    // Adds `count` to what `user` has exported today and saves at once.
    void updateExportedIdxCount(const QString &user, int count);

    // Where the counts are kept; by default in the "wkuser" folder.
    void setStorageFile(const QString &path);
    QString storageFile() const;

private:
    WKExportManger() = default;
    void load();
    void save() const;

    QString m_file;
    bool m_loaded = false;
    QDate m_day;
    QHash<QString, int> m_counts;
};
