#include "zhptest.h"

#include "wk/wkcfg.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace ZhpTest {

namespace {

QMutex s_mutex;
QtMessageHandler s_previous = nullptr;
QList<QPair<QtMsgType, QRegularExpression>> s_expected;

// What the offscreen platform says about itself; not a fault of the code under test.
bool isPlatformNoise(const QString &message)
{
    return message == QLatin1String("This plugin does not support propagateSizeHints()")
           || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

bool takeExpected(QtMsgType type, const QString &message)
{
    QMutexLocker lock(&s_mutex);
    for (int i = 0; i < s_expected.size(); ++i) {
        if (s_expected[i].first == type && s_expected[i].second.match(message).hasMatch()) {
            s_expected.removeAt(i);
            return true;
        }
    }
    return false;
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    s_previous(type, context, message);
    if (type == QtDebugMsg || type == QtInfoMsg || isPlatformNoise(message) || takeExpected(type, message))
        return;
    if (QTest::currentTestFunction()) {
        const QByteArray what = "unexpected message: " + message.toUtf8();
        QTest::qFail(what.constData(), context.file ? context.file : __FILE__, context.line);
    }
}

} // namespace

void failOnUnexpectedMessages()
{
    // QT_FATAL_WARNINGS would also abort on expected messages, so each
    // message is checked here instead.
    s_previous = qInstallMessageHandler(handler);
}

void expectMessage(QtMsgType type, const QString &text)
{
    expectMessage(type, QRegularExpression(QRegularExpression::anchoredPattern(QRegularExpression::escape(text))));
}

void expectMessage(QtMsgType type, const QRegularExpression &pattern)
{
    {
        QMutexLocker lock(&s_mutex);
        s_expected.append({type, pattern});
    }
    QTest::ignoreMessage(type, pattern);
}

QString isolateHostFolders()
{
    static QTemporaryDir dir;
    for (const char *kind : {"wkconfig", "wkdata", "wkuser"}) {
        const QString path = dir.path() + QLatin1Char('/') + QLatin1String(kind);
        QDir().mkpath(path);
        WKCfg::instance()->setStdPath(QLatin1String(kind), path);
    }
    return dir.path();
}

} // namespace ZhpTest
