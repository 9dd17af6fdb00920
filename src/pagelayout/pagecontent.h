#pragma once

#include "common/hxcpcontrols_global.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

namespace HXCPControls {

// Reading page content: the stored JSON text is parsed and checked into a
// value before any widget is built, so that malformed or oversized content
// is refused with a reason instead of half-building a page.
namespace PageContent {

// What a page may hold. A page past these limits is refused like malformed text.
struct Limits {
    qint64 maxBytes = 16 * 1024 * 1024; // the whole JSON text
    int maxDepth = 32;                  // splitters, items, tab pages and nested views, one inside the other
    int maxNodes = 20000;               // splitters, items and tab pages together
};

// The result of reading content: the content map, or the reason it was
// refused ("rootObj.children[2].className: unknown class name \"X\"",
// "illegal value at offset 17").
struct Result {
    QVariantMap content;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// Parses and checks page content text. Empty text is the empty page.
HXCPCONTROLS_EXPORT Result parse(const QByteArray &text, const Limits &limits = Limits());

// Checks content that is already a map (content handed over by the host).
HXCPCONTROLS_EXPORT QString check(const QVariantMap &content, const Limits &limits = Limits());

} // namespace PageContent
} // namespace HXCPControls
