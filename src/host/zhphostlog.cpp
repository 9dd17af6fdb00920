#include "zhphostlog.h"

Q_LOGGING_CATEGORY(lcHost, "zhp.host", QtWarningMsg)
