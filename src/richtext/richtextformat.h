#pragma once

#include "common/hxcpcontrols_global.h"

#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>

#include <functional>

// Formatting rules of the rich text editor, on documents alone.
namespace HXCPControls::RichTextFormat {

// The paragraph styles in the order the editor offers them.
enum ParagraphStyle { Standard, Heading1, Heading2, Heading3, Heading4, Monospace };

// "Standard", "Heading 1" ... "Monospace", by ParagraphStyle.
HXCPCONTROLS_EXPORT QStringList paragraphStyleNames();

// The character format of a paragraph style: headings 18, 16, 14 and 12 pt,
// bold, the second and fourth italic; Monospace a fixed-pitch family;
// Standard the plain format.
HXCPCONTROLS_EXPORT QTextCharFormat paragraphCharFormat(ParagraphStyle style);

// The style a block is in, read back from its heading level and font.
HXCPCONTROLS_EXPORT ParagraphStyle paragraphStyleOf(const QTextBlock &block);

// Gives the selection, or else the block under the cursor, the style: its
// character format is reset and replaced by the style's, and the block's
// heading level follows.
HXCPCONTROLS_EXPORT void applyParagraphStyle(QTextCursor cursor, ParagraphStyle style);

// Calls `change` on the format of every piece of the cursor's selection and
// applies the result, so properties can be cleared as well as set.
HXCPCONTROLS_EXPORT void changeCharFormat(const QTextCursor &cursor, const std::function<void(QTextCharFormat &)> &change);

// A cursor over the selection of `cursor`, or over the word under it when
// nothing is selected (no selection when the cursor is not on a word).
HXCPCONTROLS_EXPORT QTextCursor wordOrSelection(QTextCursor cursor);

} // namespace HXCPControls::RichTextFormat
