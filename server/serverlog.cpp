#include "serverlog.h"

// Requests are logged at info level, so info is on unless a filter rule says otherwise.
Q_LOGGING_CATEGORY(lcServer, "zhp.server", QtInfoMsg)
