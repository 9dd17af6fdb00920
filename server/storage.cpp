#include "storage.h"

#include "serverlog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <thread>

namespace zhpserver {

std::atomic<int> Storage::s_instances{0};

bool execSql(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    const QString text = q.lastError().text();
    qCWarning(lcServer).noquote() << "SQL failed:" << text << "in" << sql.left(200);
    if (error)
        *error = text;
    return false;
}

namespace {

// The statements this thread's PostgreSQL connections keep, by connection
// name and then by their text (forward-only ones marked with a leading '>').
thread_local QHash<QString, QHash<QString, QSqlQuery>> t_statements;
constexpr int MaxKeptStatements = 100;

} // namespace

QSqlQuery prepared(QSqlDatabase &db, const QString &sql, bool forwardOnly)
{
    if (db.driverName() != QLatin1String("QPSQL")) {
        QSqlQuery q(db);
        q.setForwardOnly(forwardOnly);
        q.prepare(sql);
        return q;
    }
    QHash<QString, QSqlQuery> &kept = t_statements[db.connectionName()];
    const QString key = forwardOnly ? QLatin1Char('>') + sql : sql;
    const auto found = kept.constFind(key);
    if (found != kept.constEnd())
        return *found;
    QSqlQuery q(db);
    q.setForwardOnly(forwardOnly);
    if (q.prepare(sql)) { // else not kept: its exec() fails with the reason
        if (kept.size() >= MaxKeptStatements)
            kept.erase(kept.begin());
        kept.insert(key, q);
    }
    return q;
}

namespace {

// Version 1: trees, pages and the datasource tables.
const char *const kSchemaV1[] = {
    "CREATE TABLE zhp_meta (meta_key VARCHAR(64) PRIMARY KEY, meta_value VARCHAR(256) NOT NULL)",

    // Category trees. tree_kind 1: the tree of product_code (user_id is '');
    // tree_kind 2: the tree of user_id within product_code.
    "CREATE TABLE tree_node ("
    " node_code VARCHAR(64) PRIMARY KEY,"
    " tree_kind INTEGER NOT NULL,"
    " product_code VARCHAR(64) NOT NULL,"
    " user_id VARCHAR(64) NOT NULL,"
    " parent_code VARCHAR(64) NOT NULL,"
    " node_name VARCHAR(512) NOT NULL,"
    " is_pad INTEGER NOT NULL,"
    " pad_id VARCHAR(64),"
    " sn INTEGER NOT NULL)",
    "CREATE INDEX tree_node_owner ON tree_node (tree_kind, product_code, user_id, parent_code, sn)",
    "CREATE INDEX tree_node_pad ON tree_node (pad_id)",

    "CREATE TABLE page ("
    " pad_id VARCHAR(64) PRIMARY KEY,"
    " content TEXT NOT NULL,"
    " updated_by VARCHAR(64) NOT NULL,"
    " updated_at BIGINT NOT NULL)",

    "CREATE TABLE idx_category ("
    " cat_set INTEGER NOT NULL,"
    " cat_code BIGINT NOT NULL,"
    " p_cat_code BIGINT,"
    " cat_name VARCHAR(256) NOT NULL,"
    " cat_code_all VARCHAR(512) NOT NULL,"
    " hav_idx INTEGER NOT NULL,"
    " sn INTEGER NOT NULL,"
    " PRIMARY KEY (cat_set, cat_code))",

    "CREATE TABLE idx_frequency ("
    " frequency_code INTEGER PRIMARY KEY,"
    " frequency_name VARCHAR(32) NOT NULL,"
    " conversion INTEGER NOT NULL,"
    " sn INTEGER NOT NULL)",

    "CREATE TABLE idx_index ("
    " idx_id BIGINT PRIMARY KEY,"
    " cat_code BIGINT NOT NULL,"
    " index_name VARCHAR(256) NOT NULL,"
    " unit_name VARCHAR(64) NOT NULL,"
    " frequency_code INTEGER NOT NULL,"
    " source_name VARCHAR(128) NOT NULL,"
    " index_desc VARCHAR(512) NOT NULL,"
    " area_name VARCHAR(64),"
    " index_params VARCHAR(512) NOT NULL,"
    " is_general INTEGER NOT NULL,"
    " is_multiprice INTEGER NOT NULL,"
    " is_vez INTEGER NOT NULL,"
    " is_platts INTEGER NOT NULL,"
    " is_quote INTEGER NOT NULL,"
    " is_map INTEGER NOT NULL,"
    " sn INTEGER NOT NULL)",

    "CREATE TABLE idx_value ("
    " idx_id BIGINT NOT NULL,"
    " value_type INTEGER NOT NULL,"
    " publish_dt BIGINT NOT NULL,"
    " frequency_code INTEGER NOT NULL,"
    " index_val DOUBLE PRECISION,"
    " PRIMARY KEY (idx_id, value_type, publish_dt))",

    "CREATE TABLE idx_multi_price ("
    " idx_id BIGINT NOT NULL,"
    " frequency_code INTEGER NOT NULL,"
    " publish_dt BIGINT NOT NULL,"
    " index_val DOUBLE PRECISION,"
    " prev_val DOUBLE PRECISION,"
    " change_val DOUBLE PRECISION,"
    " change_rate DOUBLE PRECISION,"
    " PRIMARY KEY (idx_id, frequency_code))",

    "CREATE TABLE idx_map_price ("
    " idx_id BIGINT PRIMARY KEY,"
    " publish_dt BIGINT NOT NULL,"
    " price DOUBLE PRECISION)",

    "CREATE TABLE obj_property ("
    " obj_eng_name VARCHAR(128) NOT NULL,"
    " prop_name VARCHAR(128) NOT NULL,"
    " prop_caption VARCHAR(128) NOT NULL,"
    " prop_typ VARCHAR(32) NOT NULL,"
    " prop_flag INTEGER NOT NULL,"
    " sn INTEGER NOT NULL,"
    " PRIMARY KEY (obj_eng_name, prop_name))",

    "CREATE TABLE product_category ("
    " cat_code VARCHAR(64) PRIMARY KEY,"
    " p_cat_code VARCHAR(64),"
    " cat_name VARCHAR(128) NOT NULL,"
    " cat_image VARCHAR(256),"
    " sn INTEGER NOT NULL)",

    "CREATE TABLE product ("
    " product_code VARCHAR(64) PRIMARY KEY,"
    " product_name VARCHAR(128) NOT NULL,"
    " cat_code VARCHAR(64) NOT NULL,"
    " sn INTEGER NOT NULL)",
};

// Version 2: pages count their revisions, so a client can tell a stale copy.
const char *const kSchemaV2[] = {
    "ALTER TABLE page ADD COLUMN revision INTEGER NOT NULL DEFAULT 0",
};

// Version 3: users, the hashes of their tokens, product editors and the
// daily export counts.
const char *const kSchemaV3[] = {
    "CREATE TABLE zhp_user ("
    " user_id VARCHAR(64) PRIMARY KEY,"
    " created_at BIGINT NOT NULL)",
    "CREATE TABLE access_token ("
    " token_hash CHAR(64) PRIMARY KEY,"
    " user_id VARCHAR(64) NOT NULL,"
    " label VARCHAR(64) NOT NULL,"
    " created_at BIGINT NOT NULL)",
    "CREATE INDEX access_token_user ON access_token (user_id, label)",
    "CREATE TABLE product_editor ("
    " user_id VARCHAR(64) NOT NULL,"
    " product_code VARCHAR(64) NOT NULL,"
    " PRIMARY KEY (user_id, product_code))",
    "CREATE TABLE export_count ("
    " user_id VARCHAR(64) NOT NULL,"
    " export_day INTEGER NOT NULL,"
    " exported INTEGER NOT NULL,"
    " PRIMARY KEY (user_id, export_day))",
};

template <size_t N>
bool runAll(QSqlDatabase &db, const char *const (&statements)[N], QString *error)
{
    for (const char *sql : statements) {
        if (!execSql(db, QString::fromLatin1(sql), error))
            return false;
    }
    return true;
}

} // namespace

bool DatabaseLocation::parse(const QString &text, DatabaseLocation &out, QString *error)
{
    out = DatabaseLocation();
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch m = scheme.match(text);
    const QString name = m.hasMatch() ? m.captured(1).toLower() : QString();
    if (name == QLatin1String("postgresql") || name == QLatin1String("postgres")) {
        const QUrl url(text, QUrl::StrictMode);
        const QString dbName = url.path().mid(1);
        if (!url.isValid() || !text.mid(m.capturedLength()).startsWith(QLatin1String("//")))
            return fail(QStringLiteral("%1 is not a URL postgresql://user@host:port/dbname").arg(text));
        if (dbName.isEmpty() || dbName.contains(QLatin1Char('/')))
            return fail(QStringLiteral("%1 names no database: write postgresql://user@host:port/dbname").arg(url.toDisplayString(QUrl::RemovePassword)));
        out.engine = PostgreSQL;
        out.host = url.host().isEmpty() ? QStringLiteral("localhost") : url.host();
        out.port = url.port(5432);
        out.name = dbName;
        out.user = url.userName();
        out.password = url.password();
        QStringList options;
        for (const auto &item : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
            options.append(item.first + QLatin1Char('=') + item.second);
        out.options = options.join(QLatin1Char(';'));
        return true;
    }
    // Any other scheme followed by "//" is a URL of an engine this server does not speak.
    if (m.hasMatch() && text.mid(m.capturedLength()).startsWith(QLatin1String("//")))
        return fail(QStringLiteral("%1: database URLs of %2 are not supported; give an SQLite file path or a postgresql:// URL")
                        .arg(text.left(200), name));
    if (text.isEmpty())
        return fail(QStringLiteral("no database given"));
    out.engine = SQLite;
    out.path = text;
    return true;
}

QString DatabaseLocation::display() const
{
    if (engine == SQLite)
        return path;
    QUrl url;
    url.setScheme(QStringLiteral("postgresql"));
    url.setHost(host);
    url.setPort(port);
    url.setUserName(user);
    url.setPath(QLatin1Char('/') + name);
    return url.toString();
}

Storage::Storage(const QString &location)
    : m_path(location)
    , m_prefix(QStringLiteral("zhpserver-%1-").arg(s_instances.fetch_add(1)))
{
    if (!DatabaseLocation::parse(location, m_location, &m_locationError))
        m_location = DatabaseLocation();
}

Storage::~Storage()
{
    std::set<QString> names;
    {
        std::lock_guard<std::mutex> lock(m_namesMutex);
        names.swap(m_names);
    }
    for (const QString &name : names) {
        t_statements.remove(name);
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    if (m_claimFd >= 0)
        ::close(m_claimFd);
}

bool Storage::claimExclusive(QString *error)
{
    if (m_location.engine != DatabaseLocation::SQLite || m_claimFd >= 0)
        return true;
    // A lock of its own kind (flock), apart from SQLite's record locks, held
    // for as long as the server runs and released by the kernel if it dies.
    const QByteArray file = QFile::encodeName(m_location.path);
    m_claimFd = ::open(file.constData(), O_RDONLY | O_CLOEXEC);
    if (m_claimFd < 0 && errno == ENOENT)
        return true; // not created yet: claimed once open() made it
    if (m_claimFd < 0 || ::flock(m_claimFd, LOCK_EX | LOCK_NB) != 0) {
        if (m_claimFd >= 0)
            ::close(m_claimFd);
        m_claimFd = -1;
        if (error)
            *error = QStringLiteral("%1 is already served by another zhp-server; stop that one first "
                                    "(several servers can share a PostgreSQL database instead)")
                         .arg(m_location.path);
        return false;
    }
    return true;
}

bool Storage::isLost()
{
    if (m_claimFd < 0)
        return false;
    if (m_lost)
        return true;
    struct stat held{}, named{};
    const bool gone = ::fstat(m_claimFd, &held) != 0 || held.st_nlink == 0
                      || ::stat(QFile::encodeName(m_location.path).constData(), &named) != 0
                      || named.st_ino != held.st_ino || named.st_dev != held.st_dev;
    if (gone && !m_lost.exchange(true))
        qCCritical(lcServer).noquote() << "the database file" << m_location.path
                                       << "was deleted or replaced while the server ran: every write is refused from now on;"
                                          " restore the file and restart the server";
    return gone;
}

bool Storage::lockWrites(QSqlDatabase &db)
{
    if (m_location.engine != DatabaseLocation::PostgreSQL)
        return true;
    // One key for the whole database: writes are short, and tree positions
    // need every writer of a tree to see the one before it.
    return execSql(db, QStringLiteral("SELECT pg_advisory_xact_lock(7493326)"));
}

QString Storage::threadConnectionName() const
{
    return m_prefix + QString::number(qulonglong(std::hash<std::thread::id>()(std::this_thread::get_id())), 16);
}

namespace {

// A PostgreSQL connection that failed (the database restarted, the network
// broke) stays failed; it is opened anew on the next use.
bool brokenPostgres(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return false;
    PGconn *conn = *static_cast<PGconn *const *>(handle.data());
    return conn && PQstatus(conn) == CONNECTION_BAD;
}

void preparePostgres(QSqlDatabase &db)
{
    // No statement may hold a worker and its connection without end.
    execSql(db, QStringLiteral("SET statement_timeout = 30000"));
    execSql(db, QStringLiteral("SET client_min_messages = warning"));
}

} // namespace

QSqlDatabase Storage::connection()
{
    const QString name = threadConnectionName();
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (m_location.engine == DatabaseLocation::PostgreSQL && (!db.isOpen() || brokenPostgres(db))) {
            t_statements.remove(name); // they died with the session
            db.close();
            if (db.open()) {
                qCInfo(lcServer).noquote() << "reconnected to" << m_location.display();
                preparePostgres(db);
            }
        }
        return db;
    }

    if (m_location.engine == DatabaseLocation::PostgreSQL) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(m_location.host);
        db.setPort(m_location.port);
        db.setDatabaseName(m_location.name);
        db.setUserName(m_location.user);
        db.setPassword(m_location.password);
        db.setConnectOptions(m_location.options);
        if (!db.open()) {
            qCWarning(lcServer).noquote() << "cannot open" << m_location.display() << ":" << db.lastError().text();
        } else {
            preparePostgres(db);
        }
        std::lock_guard<std::mutex> lock(m_namesMutex);
        m_names.insert(name);
        return db;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    if (m_claimFd >= 0) {
        // The file a server claimed is never created again behind its back:
        // if it disappears, new connections fail instead of starting an
        // empty database at its path.
        db.setDatabaseName(QStringLiteral("file:") + QString::fromLatin1(QUrl::toPercentEncoding(m_location.path, "/")) + QStringLiteral("?mode=rw"));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000;QSQLITE_OPEN_URI"));
    } else {
        db.setDatabaseName(m_location.path);
        // Writers wait for each other instead of failing at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    }
    if (!db.open())
        qCWarning(lcServer).noquote() << "cannot open" << m_path << ":" << db.lastError().text();
    else {
        execSql(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
        execSql(db, QStringLiteral("PRAGMA foreign_keys=ON"));
        // Reads go through the operating system's page cache, which all the
        // workers' connections share, instead of each warming its own.
        QSqlQuery mmap(db);
        mmap.exec(QStringLiteral("PRAGMA mmap_size=268435456"));
    }
    std::lock_guard<std::mutex> lock(m_namesMutex);
    m_names.insert(name);
    return db;
}

void Storage::releaseThreadConnection()
{
    const QString name = threadConnectionName();
    {
        std::lock_guard<std::mutex> lock(m_namesMutex);
        if (!m_names.erase(name))
            return;
    }
    t_statements.remove(name);
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

int Storage::storedVersion(QSqlDatabase &db)
{
    if (!db.tables().contains(QStringLiteral("zhp_meta")))
        return 0;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT meta_value FROM zhp_meta WHERE meta_key = ?"));
    q.addBindValue(QStringLiteral("schema_version"));
    if (!q.exec() || !q.next())
        return 0;
    return q.value(0).toInt();
}

bool Storage::open(QString *error, int targetVersion, bool createFolder)
{
    if (!m_locationError.isEmpty()) {
        if (error)
            *error = m_locationError;
        return false;
    }
    if (m_location.engine == DatabaseLocation::SQLite && m_location.path != QLatin1String(":memory:")) {
        const QFileInfo info(m_location.path);
        if (info.isDir()) {
            if (error)
                *error = QStringLiteral("%1 is a folder, not a database file").arg(m_location.path);
            return false;
        }
        if (!info.absoluteDir().exists()) {
            if (!createFolder || !QDir().mkpath(info.absolutePath())) {
                if (error)
                    *error = createFolder ? QStringLiteral("cannot create the folder %1").arg(info.absolutePath())
                                          : QStringLiteral("the folder %1 does not exist; create it first").arg(info.absolutePath());
                return false;
            }
        }
        if (!info.exists())
            qCInfo(lcServer).noquote() << "creating a new database" << info.absoluteFilePath();
    }
    QSqlDatabase db = connection();
    if (!db.isOpen()) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(m_location.display(), db.lastError().text().trimmed());
        return false;
    }
    if (db.driverName() == QLatin1String("QSQLITE") && m_location.path != QLatin1String(":memory:")) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next()
            || q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
            if (error)
                *error = QStringLiteral("cannot switch %1 to write-ahead logging: %2").arg(m_path, q.lastError().text());
            return false;
        }
    }
    std::lock_guard<std::mutex> lock(m_writeMutex);
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    // Servers starting side by side on one PostgreSQL database upgrade it once.
    if (!lockWrites(db)) {
        db.rollback();
        if (error)
            *error = QStringLiteral("cannot lock %1 for the schema upgrade").arg(m_location.display());
        return false;
    }
    const int stored = storedVersion(db);
    if (stored > SchemaVersion) {
        db.rollback();
        if (error)
            *error = QStringLiteral("%1 has schema version %2, newer than this server (%3)").arg(m_location.display()).arg(stored).arg(SchemaVersion);
        return false;
    }
    if (stored >= targetVersion)
        return db.commit();
    return migrate(db, stored, targetVersion, error);
}

// Inside the transaction open() started; commits or rolls it back.
bool Storage::migrate(QSqlDatabase &db, int from, int to, QString *error)
{
    bool ok = true;
    for (int v = from + 1; ok && v <= to; ++v) {
        switch (v) {
        case 1: ok = runAll(db, kSchemaV1, error); break;
        case 2: ok = runAll(db, kSchemaV2, error); break;
        case 3: ok = runAll(db, kSchemaV3, error); break;
        default: ok = false; break;
        }
        if (ok)
            qCInfo(lcServer).noquote() << "schema of" << m_location.display() << "now at version" << v;
    }
    if (ok) {
        QSqlQuery q(db);
        // Written as delete and insert, which every SQL engine understands.
        q.prepare(QStringLiteral("DELETE FROM zhp_meta WHERE meta_key = ?"));
        q.addBindValue(QStringLiteral("schema_version"));
        ok = q.exec();
        q.prepare(QStringLiteral("INSERT INTO zhp_meta (meta_key, meta_value) VALUES (?, ?)"));
        q.addBindValue(QStringLiteral("schema_version"));
        q.addBindValue(QString::number(to));
        ok = ok && q.exec();
        if (!ok && error)
            *error = q.lastError().text();
    }
    if (!ok) {
        db.rollback();
        return false;
    }
    return db.commit();
}

} // namespace zhpserver
