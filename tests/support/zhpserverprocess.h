#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The zhp-server executable as a child process on a free loopback port, for
// integration tests that need the real program rather than the library.
class ZhpServerProcess
{
public:
    ZhpServerProcess() = default;
    ~ZhpServerProcess();

    // The program next to the test executables, or $ZHP_SERVER_BIN.
    static QString program();

    // Starts `program() --db <dbPath> --port 0 <extraArguments>` and reads the
    // port from the first line of its output. False (with the reason in
    // errorText()) when it does not start or prints no port within `timeoutMs`.
    bool start(const QString &dbPath, const QStringList &extraArguments = {}, int timeoutMs = 15000);

    // Runs `program() --db <dbPath> --issue-token <userId>` (with --editor
    // for each of `editorOf`) and returns the token it prints, empty on failure.
    static QString issueToken(const QString &dbPath, const QString &userId, const QStringList &editorOf = {});

    // Sends SIGTERM and waits; returns the exit code, or -1 when it had to be killed.
    int stop(int timeoutMs = 10000);

    int port() const { return m_port; }
    qint64 processId() const { return m_process.processId(); }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }
    QString errorText() const { return m_error; }
    // Everything the server wrote to standard error so far.
    QString log();

private:
    QProcess m_process;
    QByteArray m_stderr;
    int m_port = 0;
    QString m_error;
};
