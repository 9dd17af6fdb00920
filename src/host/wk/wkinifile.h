#pragma once

#include "zhphost_global.h"

#include <QString>

// Reads one value of an INI file as written, without the list and quote
// handling of QSettings: configuration values hold JSON body templates such
// as {"padId":"%1"} that must arrive unchanged.
namespace WKIniFile {

// The value of "<group>/<key>" (or of a key before any group for "<key>");
// a null string when the file, the group or the key is missing.
ZHPHOST_EXPORT QString rawValue(const QString &path, const QString &groupAndKey);

} // namespace WKIniFile
