#include "pgcluster.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>

#include <memory>
#include <mutex>

#include <pwd.h>
#include <unistd.h>

namespace PgCluster {

namespace {

struct Cluster
{
    std::unique_ptr<QTemporaryDir> dir;
    QString bin;
    QStringList runAs; // "runuser -u postgres --" when root
    int port = 0;
    int databases = 0;
    bool running = false;
};

Cluster s_cluster;
std::mutex s_mutex;

// The newest installed PostgreSQL, or $ZHP_PG_BIN.
QString findBinaries()
{
    const QString fromEnv = qEnvironmentVariable("ZHP_PG_BIN");
    if (!fromEnv.isEmpty())
        return fromEnv;
    QString found;
    int newest = 0;
    for (const QFileInfo &v : QDir(QStringLiteral("/usr/lib/postgresql")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (v.fileName().toInt() > newest && QFileInfo(v.filePath() + QStringLiteral("/bin/initdb")).isExecutable()) {
            newest = v.fileName().toInt();
            found = v.filePath() + QStringLiteral("/bin");
        }
    }
    return found;
}

bool run(const QString &tool, const QStringList &args, QString *error)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = s_cluster.runAs;
    command << s_cluster.bin + QLatin1Char('/') + tool << args;
    p.start(command.takeFirst(), command);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = QStringLiteral("%1 failed: %2").arg(tool, QString::fromLocal8Bit(p.readAll()).trimmed());
        p.kill();
        p.waitForFinished(3000);
        return false;
    }
    return true;
}

void stopCluster()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    QString ignored;
    if (s_cluster.running)
        run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), s_cluster.dir->filePath(QStringLiteral("data")), QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")}, &ignored);
    s_cluster.running = false;
    s_cluster.dir.reset();
}

// Starts the cluster if it is not running; false with the reason otherwise.
bool ensureRunning(QString *error)
{
    Cluster &c = s_cluster;
    if (c.running)
        return true;
    c.bin = findBinaries();
    if (c.bin.isEmpty()) {
        *error = QStringLiteral("no PostgreSQL server programs under /usr/lib/postgresql (install the postgresql package, see scripts/deps.sh)");
        return false;
    }
    c.dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zhp-pg-XXXXXX"));
    if (!c.dir->isValid()) {
        *error = QStringLiteral("cannot create a temporary folder for the cluster");
        return false;
    }
    if (::geteuid() == 0) {
        // PostgreSQL refuses to run as root.
        const char *user = ::getpwnam("postgres") ? "postgres" : "nobody";
        const passwd *pw = ::getpwnam(user);
        if (!pw || ::chown(QFile::encodeName(c.dir->path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            *error = QStringLiteral("cannot hand the cluster folder to the user %1").arg(QLatin1String(user));
            return false;
        }
        c.runAs = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QLatin1String(user), QStringLiteral("--")};
    }
    const QString data = c.dir->filePath(QStringLiteral("data"));
    if (!run(QStringLiteral("initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("zhp"), QStringLiteral("-A"), QStringLiteral("trust"),
                                        QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
             error))
        return false;
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    c.port = probe.serverPort();
    probe.close();
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200")
                                .arg(c.port)
                                .arg(c.dir->path());
    if (!run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"), c.dir->filePath(QStringLiteral("log")),
                                        QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
             error)) {
        QFile log(c.dir->filePath(QStringLiteral("log")));
        if (log.open(QIODevice::ReadOnly))
            *error += QStringLiteral("\n") + QString::fromLocal8Bit(log.readAll().right(2000));
        return false;
    }
    c.running = true;
    qAddPostRoutine(stopCluster);
    return true;
}

} // namespace

bool selected()
{
    return qEnvironmentVariable("ZHP_TEST_ENGINE").compare(QLatin1String("postgresql"), Qt::CaseInsensitive) == 0;
}

QString createDatabase(QString *error)
{
    QString name;
    int port = 0;
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!ensureRunning(error))
            return QString();
        name = QStringLiteral("zhp_test_%1").arg(++s_cluster.databases);
        port = s_cluster.port;
    }
    const QString connection = QStringLiteral("zhp-pgcluster-admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port);
        db.setUserName(QStringLiteral("zhp"));
        db.setDatabaseName(QStringLiteral("postgres"));
        ok = db.open();
        QSqlQuery q(db);
        ok = ok && q.exec(QStringLiteral("CREATE DATABASE %1").arg(name));
        if (!ok)
            *error = (db.isOpen() ? q.lastError() : db.lastError()).text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok ? QStringLiteral("postgresql://zhp@127.0.0.1:%1/%2").arg(port).arg(name) : QString();
}

} // namespace PgCluster
