#pragma once

#include "zhphost_global.h"

#include <QDate>
#include <QHash>
#include <QString>

namespace HXDataApi {
struct HttpJsonResult;
}

// Counts, per user and per day, how many indices a user has exported.
//
// Whenever a server is configured ("servercfg.ini:Global"), the server keeps
// the count of the user its access token names ("/user/export/count" and
// "/user/export/reserve"), so that the quota cannot be reset on the user's
// machine; the `user` arguments then only name the user in the log. The
// calls block (running a local event loop) until the server answers. When
// the server cannot be asked, the count reads as Unavailable, past any quota,
// so that nothing is exported uncounted.
//
// Without a server the counts are kept in "export_counts.json" in the user's
// data folder, and a new day starts every user at zero.
class ZHPHOST_EXPORT WKExportManger
{
public:
    static constexpr int DailyLimit = 500;      // without a server; a server keeps its own limit
    static constexpr int Unavailable = 1 << 30; // the count when the server cannot be asked

    static WKExportManger *instance();

    int getExportedIdxCount(const QString &user);
    // Adds `count` to what `user` has exported today and saves at once.
    void updateExportedIdxCount(const QString &user, int count);
    // Adds `count` unless the day's total would pass the limit (the server's,
    // or DailyLimit without one); false with `error` set (the server's own
    // message when it refused) when nothing was added.
    bool reserveExportedIdxCount(const QString &user, int count, QString *error = nullptr);

    // Where the counts are kept without a server; by default in the "wkuser" folder.
    void setStorageFile(const QString &path);
    QString storageFile() const;

private:
    WKExportManger() = default;
    static bool serverConfigured();
    static HXDataApi::HttpJsonResult ask(const QString &path, int count);
    void load();
    void save() const;

    QString m_file;
    bool m_loaded = false;
    QDate m_day;
    QHash<QString, int> m_counts;
};
