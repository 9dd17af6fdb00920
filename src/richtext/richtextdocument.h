#pragma once

#include "common/hxcpcontrols_global.h"

#include <QString>
#include <QTextDocument>

class QTextEdit;

namespace HXCPControls {

// A document for text that comes from a page: it loads only the images
// embedded in the text itself (see RichTextImages::loadResource).
class HXCPCONTROLS_EXPORT RichTextDocument : public QTextDocument
{
    Q_OBJECT
public:
    explicit RichTextDocument(QObject *parent = nullptr);

    // Texts longer than this, or HTML nested deeper, are not shown; the
    // component keeps them as they are.
    static constexpr int kMaxShownLength = 24 * 1024 * 1024;
    static constexpr int kMaxNesting = 1000;
    static constexpr int kMaxTableNesting = 10;

    // Puts `text` into `edit`: as HTML when it starts with "<", as plain text
    // otherwise. Parts of HTML that a page cannot use (scripts, embedded
    // frames and objects) are dropped from what is shown. A text that is too
    // long or too deeply nested is refused: `edit` shows a notice and false
    // is returned.
    static bool setText(QTextEdit *edit, const QString &text);

    // Why `html` is nested too deeply to be laid out in reasonable time;
    // empty when it is not.
    static QString nestingProblem(const QString &html);

    // `html` without script, frame, object and link elements.
    static QString displayableHtml(const QString &html);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

} // namespace HXCPControls
