#pragma once

#include "common/hxcpcontrols_global.h"

#include <QLoggingCategory>

// One category per subsystem of the library. Warnings and above are shown by
// default; enable more with QT_LOGGING_RULES="zhp.*.debug=true".
HXCPCONTROLS_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcPageLayout)
HXCPCONTROLS_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcEditor)
HXCPCONTROLS_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcIndexData)
HXCPCONTROLS_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcCharts)
HXCPCONTROLS_EXPORT Q_DECLARE_LOGGING_CATEGORY(lcRichText)
