#pragma once

#include <QByteArray>
#include <QString>

namespace zhpserver {

// The first key that appears twice in one object of a JSON text (as the
// parser would read it, escapes decoded); a null string when there is none.
// Qt's JSON parser leaks the value it replaces when a key repeats with an
// object or a list as its value, so a request body or page content is
// checked with this before Qt parses it. The scan stops at the first syntax
// error (Qt reports that one) and below 1024 levels of nesting (Qt refuses
// deeper texts).
QString duplicateJsonKey(const QByteArray &json);

} // namespace zhpserver
