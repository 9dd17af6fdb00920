#pragma once

#include <QStringList>

// zhpctl makedata --query-type Q --records RECORDS.json --dimensions DIMS.json [--cal CAL.json]
//                 [--ids ID,...] [--season-frequency F --season-query QUERY.json]
int runMakeData(const QStringList &args);
