#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;
class QWidget;

// What the applications do as the host of the library.
namespace AppHost {

// Prepares the web engine of the chart views; call before the application
// object exists. Without a screen (`headless`) it draws in software; as root
// it runs without its sandbox, which refuses to start then.
void prepareWebEngine(bool headless);

// Closes every message box that a page opens from now on (a failed request,
// a failed query), after writing its title and text to standard error: a tool
// without a user must not wait for one. Calls `onBox` for each, when given.
void dismissMessageBoxes(QObject *owner, std::function<void()> onBox = {});

// Registers the library's component classes in the widget factory under
// their class names, as stored pages name them.
void registerComponents();

// Processes events until every visible split item under `root` has created
// its component from its stored object and nothing new appeared for a few
// rounds; false when `timeoutMs` ran out first.
bool waitUntilSettled(QWidget *root, int timeoutMs = 10000);

// The number of visible split items under `root` that have not yet applied their stored object.
int pendingVisibleItems(QWidget *root);

// What the application reads at run time and cannot find or read (the skins,
// the configuration files, the map), one line each naming where it looked;
// empty when everything is there.
QStringList missingRuntimeFiles();

// Writes the lines of missingRuntimeFiles() to standard error; with `parent`
// also shows them to the user. False when something is missing.
bool reportMissingRuntimeFiles(QWidget *parent);

// Reads a whole file, or standard input for "-"; false with `error` set when it cannot.
bool readInput(const QString &path, QByteArray *data, QString *error);

} // namespace AppHost
