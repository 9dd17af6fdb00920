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
QList<QPair<QtMsgType, QString>> s_expectedTexts;
QList<QPair<QtMsgType, QRegularExpression>> s_expectedPatterns;

// What the offscreen platform says about itself; not a fault of the code under test.
bool isPlatformNoise(const QString &message)
{
    return message == QLatin1String("This plugin does not support propagateSizeHints()")
           || message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

bool takeExpected(QtMsgType type, const QString &message)
{
    QMutexLocker lock(&s_mutex);
    for (int i = 0; i < s_expectedTexts.size(); ++i) {
        if (s_expectedTexts[i].first == type && s_expectedTexts[i].second == message) {
            s_expectedTexts.removeAt(i);
            return true;
        }
    }
    for (int i = 0; i < s_expectedPatterns.size(); ++i) {
        if (s_expectedPatterns[i].first == type && s_expectedPatterns[i].second.match(message).hasMatch()) {
            s_expectedPatterns.removeAt(i);
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
    {
        QMutexLocker lock(&s_mutex);
        s_expectedTexts.append({type, text});
    }
    QTest::ignoreMessage(type, text.toUtf8().constData());
}

void expectMessage(QtMsgType type, const QRegularExpression &pattern)
{
    {
        QMutexLocker lock(&s_mutex);
        s_expectedPatterns.append({type, pattern});
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
