#pragma once

#include <QByteArray>
#include <QString>

namespace zhpserver {

// The icons of the product menu, served as PNG files under MenuIconPath
// (the seeded root categories name them in CAT_IMAGE, relative to the
// server's base URL).
inline const char *const MenuIconPath = "/menuicons/";

// The PNG data of the icon file `name` ("C10.png"); false when there is none.
bool menuIcon(const QString &name, QByteArray *png);

} // namespace zhpserver
