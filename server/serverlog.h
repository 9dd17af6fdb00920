#pragma once

#include <QLoggingCategory>

// The one logging category of the backend.
Q_DECLARE_LOGGING_CATEGORY(lcServer)
