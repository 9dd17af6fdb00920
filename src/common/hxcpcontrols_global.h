#pragma once

#include <QtCore/qglobal.h>

#if defined(HXCPCONTROLS_LIBRARY)
#  define HXCPCONTROLS_EXPORT Q_DECL_EXPORT
#else
#  define HXCPCONTROLS_EXPORT Q_DECL_IMPORT
#endif
