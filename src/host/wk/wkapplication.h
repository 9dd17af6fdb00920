#pragma once

#include "zhphost_global.h"

#include <QMetaObject>
#include <QPointer>

class QWidget;

// The host application: knows its main window.
class ZHPHOST_EXPORT WKApplication
{
public:
    static QWidget *wkmainWindow();
    static void setMainWindow(QWidget *window);
};

// Calls a method by name on a host object, with any number of arguments whose
// types are registered with the meta-type system. Returns whether the call was made.
class ZHPHOST_EXPORT InvokerBase
{
public:
    template <typename... Args>
    static bool invoke(QObject *target, const char *method, const Args &...args)
    {
        if (!target)
            return false;
        return QMetaObject::invokeMethod(target, method, Qt::AutoConnection,
                                         QArgument<Args>(QMetaType::typeName(qMetaTypeId<Args>()), args)...);
    }
};
