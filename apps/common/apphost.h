#pragma once

#include <QString>

class QWidget;

// What the applications do as the host of the library.
namespace AppHost {

// Registers the library's component classes in the widget factory under
// their class names, as stored pages name them.
void registerComponents();

// Processes events until every visible split item under `root` has created
// its component from its stored object and nothing new appeared for a few
// rounds; false when `timeoutMs` ran out first.
bool waitUntilSettled(QWidget *root, int timeoutMs = 10000);

// The number of visible split items under `root` that have not yet applied their stored object.
int pendingVisibleItems(QWidget *root);

// Reads a whole file, or standard input for "-"; false with `error` set when it cannot.
bool readInput(const QString &path, QByteArray *data, QString *error);

} // namespace AppHost
