#pragma once

#include <QSqlDatabase>
#include <QString>

#include <atomic>
#include <mutex>
#include <set>

namespace zhpserver {

// The database file and its connections. Qt SQL connections belong to the
// thread that opened them, so every thread that touches the database gets
// its own named connection (opened on first use, closed by
// releaseThreadConnection() or when the storage is destroyed). Writes are
// serialised by one mutex per storage; reads run side by side (WAL).
class Storage
{
public:
    // The version this build writes; older files are upgraded in place on open.
    static constexpr int SchemaVersion = 3;

    explicit Storage(const QString &path);
    ~Storage();
    Storage(const Storage &) = delete;
    Storage &operator=(const Storage &) = delete;

    // Creates or upgrades the schema up to `targetVersion` (tests build old
    // files with a lower one). False with `error` set when the file cannot be
    // opened or is newer than this build.
    bool open(QString *error, int targetVersion = SchemaVersion);

    QString path() const { return m_path; }

    // The calling thread's connection, opened on first use.
    QSqlDatabase connection();
    // Closes the calling thread's connection (worker threads call it before they end).
    void releaseThreadConnection();

    std::mutex &writeMutex() { return m_writeMutex; }

    // The schema version stored in the file, 0 when there is none.
    static int storedVersion(QSqlDatabase &db);

private:
    bool migrate(QSqlDatabase &db, int from, int to, QString *error);
    QString threadConnectionName() const;

    QString m_path;
    QString m_prefix;
    std::mutex m_writeMutex;
    std::mutex m_namesMutex;
    std::set<QString> m_names;
    static std::atomic<int> s_instances;
};

// Runs one statement without parameters; logs and returns false on failure.
bool execSql(QSqlDatabase &db, const QString &sql, QString *error = nullptr);

} // namespace zhpserver
