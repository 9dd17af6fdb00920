#pragma once

#include "zhphost_global.h"

#include <QByteArray>
#include <QList>
#include <QMap>

#include <functional>

class QWidget;

// The host's widget factory: creators keyed by name. Components register here
// and pages create them from the key of their content URL.
template <class T>
class WKFactory
{
public:
    using Creator = std::function<T *(QWidget *parent)>;

    static QMap<QByteArray, Creator> &constructors();

    static QList<QByteArray> keys() { return constructors().keys(); }

    static T *create(const QByteArray &key, QWidget *parent)
    {
        const auto &map = constructors();
        auto it = map.constFind(key);
        return it == map.constEnd() || !*it ? nullptr : (*it)(parent);
    }

    // Registers `C` (constructible from a parent widget) under `key`.
    template <class C>
    static void registerClass(const QByteArray &key)
    {
        constructors().insert(key, [](QWidget *parent) -> T * { return new C(parent); });
    }
};

// One registry for the whole process, kept in the host library.
template <>
ZHPHOST_EXPORT QMap<QByteArray, WKFactory<QWidget>::Creator> &WKFactory<QWidget>::constructors();
