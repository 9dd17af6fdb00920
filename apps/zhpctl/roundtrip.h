#pragma once

#include <QSize>
#include <QStringList>

// zhpctl roundtrip [--show WIDTHxHEIGHT] FILE
int runRoundtrip(const QStringList &args);
