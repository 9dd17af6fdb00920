#pragma once

#include "common/hxcpcontrols_global.h"

#include <QStringList>
#include <QUrl>

class QWidget;

namespace HXCPControls {

// Creates the component that a content URL names: the URL's key (the text
// before any '?') selects the creator in the host's widget factory, and each
// query item becomes a dynamic property of the new component. The component
// also gets the property `url`. Returns null when no creator has that key.
HXCPCONTROLS_EXPORT QWidget *createComponent(const QUrl &url, QWidget *parent);

// The factory key that a content URL names.
HXCPCONTROLS_EXPORT QString componentKey(const QUrl &url);

// The keys of the host's widget factory.
HXCPCONTROLS_EXPORT QStringList componentKeys();

} // namespace HXCPControls
