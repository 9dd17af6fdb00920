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

Cluster &cluster()
{
    static Cluster c;
    return c;
}

std::mutex &clusterMutex()
{
    static std::mutex m;
    return m;
}

QString findBinaries()
{
    const QString fromEnv = qEnvironmentVariable("ZHP_PG_BIN");
    if (!fromEnv.isEmpty())
        return fromEnv;
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(), [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &v : versions) {
        const QString bin = root.filePath(v + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable())
            return bin;
    }
    return QString();
}

bool run(const Cluster &c, const QString &tool, const QStringList &args, QString *error, int timeoutMs = 60000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList command = c.runAs;
    command << c.bin + QLatin1Char('/') + tool << args;
    p.start(command.takeFirst(), command);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("%1 failed: %2").arg(tool, QString::fromLocal8Bit(p.readAll()).trimmed());
        p.kill();
        p.waitForFinished(3000);
        return false;
    }
    return true;
}

void stopCluster()
{
    std::lock_guard<std::mutex> lock(clusterMutex());
    Cluster &c = cluster();
    if (c.running)
        run(c, QStringLiteral("pg_ctl"), {QStringLiteral("-D"), c.dir->filePath(QStringLiteral("data")), QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")}, nullptr);
    c.running = false;
    c.dir.reset();
}

int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

bool selected()
{
    return qEnvironmentVariable("ZHP_TEST_ENGINE").compare(QLatin1String("postgresql"), Qt::CaseInsensitive) == 0;
}

bool ensureRunning(QString *error)
{
    std::lock_guard<std::mutex> lock(clusterMutex());
    Cluster &c = cluster();
    if (c.running)
        return true;
    c.bin = findBinaries();
    if (c.bin.isEmpty()) {
        if (error)
            *error = QStringLiteral("no PostgreSQL server programs under /usr/lib/postgresql (install the postgresql package, see scripts/deps.sh)");
        return false;
    }
    c.dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/zhp-pg-XXXXXX"));
    if (!c.dir->isValid()) {
        if (error)
            *error = QStringLiteral("cannot create a temporary folder for the cluster");
        return false;
    }
    c.runAs.clear();
    if (::geteuid() == 0) {
        // PostgreSQL refuses to run as root.
        const char *user = ::getpwnam("postgres") ? "postgres" : "nobody";
        const passwd *pw = ::getpwnam(user);
        if (!pw || ::chown(QFile::encodeName(c.dir->path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            if (error)
                *error = QStringLiteral("cannot hand the cluster folder to the user %1").arg(QLatin1String(user));
            return false;
        }
        c.runAs = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QLatin1String(user), QStringLiteral("--")};
    }
    const QString data = c.dir->filePath(QStringLiteral("data"));
    if (!run(c, QStringLiteral("initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("zhp"), QStringLiteral("-A"), QStringLiteral("trust"),
                                           QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
             error))
        return false;
    c.port = freePort();
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200")
                                .arg(c.port)
                                .arg(c.dir->path());
    if (!run(c, QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data, QStringLiteral("-o"), options, QStringLiteral("-l"), c.dir->filePath(QStringLiteral("log")),
                                           QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
             error)) {
        QFile log(c.dir->filePath(QStringLiteral("log")));
        if (error && log.open(QIODevice::ReadOnly))
            *error += QStringLiteral("\n") + QString::fromLocal8Bit(log.readAll().right(2000));
        return false;
    }
    c.running = true;
    qAddPostRoutine(stopCluster);
    return true;
}

QString createDatabase(QString *error)
{
    if (!ensureRunning(error))
        return QString();
    QString name;
    int port = 0;
    {
        std::lock_guard<std::mutex> lock(clusterMutex());
        Cluster &c = cluster();
        name = QStringLiteral("zhp_test_%1").arg(++c.databases);
        port = c.port;
    }
    const QString connection = QStringLiteral("zhp-pgcluster-admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(port);
        db.setUserName(QStringLiteral("zhp"));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("CREATE DATABASE %1").arg(name));
            if (!ok && error)
                *error = q.lastError().text();
        } else if (error) {
            *error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok ? QStringLiteral("postgresql://zhp@127.0.0.1:%1/%2").arg(port).arg(name) : QString();
}

} // namespace PgCluster
