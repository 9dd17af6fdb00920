#include "wkfactory.h"

#include <QWidget>

template <>
QMap<QByteArray, WKFactory<QWidget>::Creator> &WKFactory<QWidget>::constructors()
{
    static QMap<QByteArray, Creator> map;
    return map;
}
