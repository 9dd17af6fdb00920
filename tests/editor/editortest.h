#pragma once
// Set-up shared by the editor widget tests.
#include "zhptest.h"

#include "wk/wkcfg.h"
#include "wk/wkcore.h"

#include <QtWidgets>

inline void sendMouse(QWidget *target, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, target->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Counts the events of the given types that reach the objects it filters.
struct EventCounter : QObject {
    explicit EventCounter(std::initializer_list<QEvent::Type> types) : types(types) {}
    bool eventFilter(QObject *, QEvent *event) override { return (count += types.contains(event->type())), false; }
    QList<QEvent::Type> types;
    int count = 0;
};

// A skins folder of the test's own, with the "default" skin current.
struct TestSkins {
    QTemporaryDir dir;
    void install()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        QVERIFY(dir.isValid());
        WKCfg::instance()->setStdPath(QStringLiteral("wkskin"), dir.path());
        WKCore::instance()->setCurrentSkinId(QStringLiteral("default"));
    }
    // The full path of `name` in the folder, with its parent folders made.
    QString file(const QString &name) const
    {
        const QString path = dir.path() + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        return path;
    }
    void write(const QString &name, const QByteArray &data) const
    {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
    }
};
