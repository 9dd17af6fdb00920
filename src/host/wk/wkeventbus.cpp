#include "wkeventbus.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>

#include <memory>

int WKEvent::typeForStr(const QString &name)
{
    static QMutex mutex;
    static QHash<QString, int> types;
    QMutexLocker lock(&mutex);
    auto it = types.constFind(name);
    if (it != types.constEnd())
        return *it;
    const int type = QEvent::registerEventType();
    types.insert(name, type);
    return type;
}

WKEvent::WKEvent(const QString &type, const QVariant &data)
    : QEvent(static_cast<QEvent::Type>(typeForStr(type)))
    , m_typeName(type)
    , m_data(data)
{
}

WKEventBus::WKEventBus()
    : mEventObj(new QObject(this))
{
    mEventObj->setObjectName(QStringLiteral("WKEventBus"));
}

WKEventBus *WKEventBus::instance()
{
    static WKEventBus *bus = new WKEventBus; // subscribers may outlive main()
    return bus;
}

void WKEventBus::addSubscriber(QObject *subscriber)
{
    if (subscriber)
        mEventObj->installEventFilter(subscriber);
}

void WKEventBus::removeSubscriber(QObject *subscriber)
{
    if (subscriber)
        mEventObj->removeEventFilter(subscriber);
}

void WKEventBus::send(QEvent *event)
{
    std::unique_ptr<QEvent> owned(event);
    if (event)
        QCoreApplication::sendEvent(mEventObj, event);
}
