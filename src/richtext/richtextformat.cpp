#include "richtextformat.h"

#include <QTextBlock>
#include <QTextDocument>

#include <utility>
#include <vector>

namespace HXCPControls::RichTextFormat {

QStringList paragraphStyleNames()
{
    return {QStringLiteral("Standard"),  QStringLiteral("Heading 1"), QStringLiteral("Heading 2"),
            QStringLiteral("Heading 3"), QStringLiteral("Heading 4"), QStringLiteral("Monospace")};
}

QTextCharFormat paragraphCharFormat(ParagraphStyle style)
{
    QTextCharFormat format;
    switch (style) {
    case Heading1:
    case Heading2:
    case Heading3:
    case Heading4: {
        static const int sizes[] = {18, 16, 14, 12};
        const int level = style - Heading1;
        format.setFontPointSize(sizes[level]);
        format.setFontWeight(QFont::Bold);
        if (style == Heading2 || style == Heading4)
            format.setFontItalic(true);
        break;
    }
    case Monospace:
        format.setFontFamily(QStringLiteral("Monospace"));
        format.setFontStyleHint(QFont::Monospace);
        format.setFontFixedPitch(true);
        break;
    case Standard:
        break;
    }
    return format;
}

ParagraphStyle paragraphStyleOf(const QTextBlock &block)
{
    const int level = block.blockFormat().headingLevel();
    if (level >= 1 && level <= 4)
        return ParagraphStyle(Heading1 + level - 1);
    const QTextBlock::iterator first = block.begin();
    const QTextCharFormat format = first.atEnd() ? block.charFormat() : first.fragment().charFormat();
    if (format.fontFixedPitch())
        return Monospace;
    return Standard;
}

void applyParagraphStyle(QTextCursor cursor, ParagraphStyle style)
{
    cursor.beginEditBlock();
    if (!cursor.hasSelection()) {
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    const QTextCharFormat format = paragraphCharFormat(style);
    changeCharFormat(cursor, [&format](QTextCharFormat &piece) {
        if (!piece.isImageFormat()) // a picture keeps its name and size
            piece = format;
    });
    // The blocks remember the style, so that text typed into an empty one
    // takes it and the HTML says which blocks are headings.
    const int level = style >= Heading1 && style <= Heading4 ? style - Heading1 + 1 : 0;
    QTextBlockFormat blockFormat;
    blockFormat.setHeadingLevel(level);
    cursor.mergeBlockFormat(blockFormat);
    cursor.mergeBlockCharFormat(format);
    cursor.endEditBlock();
}

void changeCharFormat(const QTextCursor &cursor, const std::function<void(QTextCharFormat &)> &change)
{
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    if (start == end)
        return;
    // Collect the pieces first: applying a format splits and merges fragments.
    std::vector<std::pair<int, int>> pieces;
    QTextDocument *document = cursor.document();
    for (QTextBlock block = document->findBlock(start); block.isValid() && block.position() < end; block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = qMax(start, fragment.position());
            const int to = qMin(end, fragment.position() + fragment.length());
            if (from < to)
                pieces.emplace_back(from, to);
        }
    }
    QTextCursor editor(document);
    editor.beginEditBlock();
    for (const auto &[from, to] : pieces) {
        editor.setPosition(to);
        QTextCharFormat format = editor.charFormat(); // the format before `to`, inside the piece
        change(format);
        editor.setPosition(from);
        editor.setPosition(to, QTextCursor::KeepAnchor);
        editor.setCharFormat(format);
    }
    editor.endEditBlock();
}

QTextCursor wordOrSelection(QTextCursor cursor)
{
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    return cursor;
}

} // namespace HXCPControls::RichTextFormat
