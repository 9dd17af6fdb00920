#include "common/logging.h"

Q_LOGGING_CATEGORY(lcPageLayout, "zhp.pagelayout", QtWarningMsg)
Q_LOGGING_CATEGORY(lcEditor, "zhp.editor", QtWarningMsg)
Q_LOGGING_CATEGORY(lcIndexData, "zhp.indexdata", QtWarningMsg)
Q_LOGGING_CATEGORY(lcCharts, "zhp.charts", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRichText, "zhp.richtext", QtWarningMsg)
