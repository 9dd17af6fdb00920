#pragma once

#include "zhphost_global.h"

#include <QEvent>
#include <QObject>
#include <QString>
#include <QVariant>

// An event of the host event bus: a named type and a payload.
class ZHPHOST_EXPORT WKEvent : public QEvent
{
public:
    WKEvent(const QString &type, const QVariant &data);

    QString typeName() const { return m_typeName; }
    QVariant data() const { return m_data; }

    // The event type registered for `name`; the same name always gives the same type.
    static int typeForStr(const QString &name);

private:
    QString m_typeName;
    QVariant m_data;
};

// The host event bus. Subscribers filter the events of the bus object
// `mEventObj`: their eventFilter(watched == mEventObj, event) sees every event
// sent, the latest subscriber first. A subscriber that returns true stops the
// event for the others.
class ZHPHOST_EXPORT WKEventBus : public QObject
{
    Q_OBJECT
public:
    static WKEventBus *instance();

    void addSubscriber(QObject *subscriber);
    void removeSubscriber(QObject *subscriber);
    // Delivers `event` synchronously to every subscriber and then deletes it.
    void send(QEvent *event);

    QObject *const mEventObj;

private:
    WKEventBus();
};
