#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

// Runs the zhpctl program of the build (its path given by the test target as
// ZHPCTL_PATH) and keeps what it answered.
struct ZhpctlRun {
    int exitCode = -1; // -1: did not finish in time; -2: crashed
    QByteArray out, err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

inline ZhpctlRun runZhpctl(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(QStringLiteral(ZHPCTL_PATH), args);
    if (!input.isNull())
        p.write(input);
    p.closeWriteChannel();
    ZhpctlRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
