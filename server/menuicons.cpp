#include "menuicons.h"

#include <QFile>
#include <QRegularExpression>

// Resources of a static library are registered by hand, outside any namespace.
static void initMenuIconResources()
{
    Q_INIT_RESOURCE(menuicons);
}

namespace zhpserver {

bool menuIcon(const QString &name, QByteArray *png)
{
    static const bool registered = (initMenuIconResources(), true);
    Q_UNUSED(registered)
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]{1,64}\\.png$"));
    if (!plain.match(name).hasMatch())
        return false;
    QFile file(QStringLiteral(":/zhpserver/menuicons/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *png = file.readAll();
    return true;
}

} // namespace zhpserver
