#pragma once

#include <QStringList>

// zhpctl option --type T --cfg CFG.json --dataset DATASET.json [--full CLASS,...]
int runOption(const QStringList &args);
