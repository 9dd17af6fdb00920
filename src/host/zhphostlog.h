#pragma once

#include "zhphost_global.h"

#include <QLoggingCategory>

// Logging category of the host layer: "zhp.host", warnings and above by default.
ZHPHOST_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcHost)
