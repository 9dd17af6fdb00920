#include "zhpserverprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

ZhpServerProcess::~ZhpServerProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        stop(3000);
}

QString ZhpServerProcess::program()
{
    const QString fromEnv = qEnvironmentVariable("ZHP_SERVER_BIN");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zhp-server");
}

bool ZhpServerProcess::start(const QString &dbPath, const QStringList &extraArguments, int timeoutMs)
{
    m_port = 0;
    m_stderr.clear();
    m_process.start(program(), QStringList{QStringLiteral("--db"), dbPath, QStringLiteral("--port"), QStringLiteral("0")} + extraArguments);
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("%1: %2").arg(program(), m_process.errorString());
        return false;
    }
    QByteArray out;
    const QDeadlineTimer deadline(timeoutMs);
    while (!out.contains('\n') && !deadline.hasExpired() && m_process.state() == QProcess::Running) {
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        out += m_process.readAllStandardOutput();
    }
    m_stderr += m_process.readAllStandardError();
    m_port = out.left(out.indexOf('\n')).trimmed().toInt();
    if (m_port <= 0) {
        m_error = QStringLiteral("no port line from %1 (stdout \"%2\", stderr \"%3\")").arg(program(), QString::fromUtf8(out), QString::fromUtf8(m_stderr));
        stop(3000);
        return false;
    }
    return true;
}

QString ZhpServerProcess::issueToken(const QString &dbPath, const QString &userId, const QStringList &editorOf)
{
    QStringList arguments{QStringLiteral("--db"), dbPath, QStringLiteral("--issue-token"), userId};
    for (const QString &product : editorOf)
        arguments << QStringLiteral("--editor") << product;
    QProcess p;
    p.start(program(), arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

int ZhpServerProcess::stop(int timeoutMs)
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate(); // SIGTERM
        if (!m_process.waitForFinished(timeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    m_stderr += m_process.readAllStandardError();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QString ZhpServerProcess::log()
{
    // What the server wrote lately may still be in the pipe: read until it
    // stays quiet for a moment.
    if (m_process.state() == QProcess::Running) {
        m_process.setReadChannel(QProcess::StandardError);
        while (m_process.waitForReadyRead(100))
            m_stderr += m_process.readAllStandardError();
        m_process.setReadChannel(QProcess::StandardOutput);
    }
    m_stderr += m_process.readAllStandardError();
    return QString::fromUtf8(m_stderr);
}
