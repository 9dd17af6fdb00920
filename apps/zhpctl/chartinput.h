#pragma once

#include <QHash>
#include <QJsonDocument>
#include <QString>
#include <QStringList>

// Command-line parsing shared by the chart commands.
namespace ChartInput {

// Reads "--name value" pairs; false with `error` set on a stray argument, a
// missing value or an unknown name.
bool parseOptions(const QStringList &args, const QStringList &known, QHash<QString, QString> *values, QString *error);

// Reads and parses a JSON file ("-" for standard input); false with `error` set.
bool readJson(const QString &path, QJsonDocument *doc, QString *error);

} // namespace ChartInput
