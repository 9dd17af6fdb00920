#pragma once

#include "common/hxcpcontrols_global.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace HXCPControls {

// One group of the component palette as read from its configuration file.
struct PaletteGroup {
    QString name;
    // Each entry as split at "=>": the factory key as written in the file,
    // the display name, and (optionally) a skin image name and further parts.
    QList<QStringList> entries;
};

// Reads the palette configuration (INI, UTF-8):
//
//   [group]
//   count=2
//   [group0]
//   name=指标数据
//   textIcons="CPIndexDataComponent=>指标数据表=>custompage/palette/indexdata.png;..."
//
// Groups are read for the indices 0 … count − 1. A group without "textIcons"
// is skipped; an entry is kept when it has at least a key and a display part
// and its key is one of `factoryKeys` (compared without regard to case).
// Groups left without entries are dropped. A missing or unreadable file
// gives no groups.
HXCPCONTROLS_EXPORT QList<PaletteGroup> readPaletteConfig(const QString &path, const QStringList &factoryKeys);

// The palette file of the application: "<application directory>/config/zhp_v2.ini",
// or, when there is none, "zhp_v2.ini" in the host's configuration folder
// (where an installed application keeps it).
HXCPCONTROLS_EXPORT QString paletteConfigPath();

} // namespace HXCPControls
