#pragma once

#include <QtCore/qglobal.h>

#if defined(ZHPHOST_LIBRARY)
#  define ZHPHOST_EXPORT Q_DECL_EXPORT
#else
#  define ZHPHOST_EXPORT Q_DECL_IMPORT
#endif
