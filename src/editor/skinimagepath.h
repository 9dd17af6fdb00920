#pragma once

#include "common/hxcpcontrols_global.h"

#include <QString>

namespace HXCPControls {

// The full path of an image of the current skin: "<skins root>/<skin id>/images/<name>",
// where `name` is relative, such as "custompage/unselected_pad.png".
HXCPCONTROLS_EXPORT QString skinImagePath(const QString &name);

} // namespace HXCPControls
