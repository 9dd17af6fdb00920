#include "richtextdocument.h"

#include "common/logging.h"
#include "richtextconfig.h"
#include "richtextimages.h"

#include <QRegularExpression>
#include <QTextEdit>

namespace HXCPControls {

RichTextDocument::RichTextDocument(QObject *parent)
    : QTextDocument(parent)
{
}

QVariant RichTextDocument::loadResource(int type, const QUrl &name)
{
    // Kept, so that a picture is decoded once and not on every paint.
    const QVariant resource = RichTextImages::loadResource(type, name);
    addResource(type, name, resource);
    return resource;
}

QString RichTextDocument::displayableHtml(const QString &html)
{
    // The text document runs nothing; but frames, objects and embeds have no
    // meaning in a page, and an unclosed <link> would hide all that follows it.
    static const QRegularExpression blocks(
        QStringLiteral("<(script|iframe|object|embed|frameset|noscript)\\b[^>]*>.*?(</\\1\\s*>|$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression singles(QStringLiteral("</?(script|iframe|object|embed|frame|frameset|noscript|link)\\b[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (!html.contains(singles))
        return html;
    QString cleaned = html;
    cleaned.remove(blocks);
    cleaned.remove(singles);
    return cleaned;
}

bool RichTextDocument::setText(QTextEdit *edit, const QString &text)
{
    if (text.size() > kMaxShownLength) {
        qCWarning(lcRichText) << "rich text of" << text.size() << "characters not shown, the limit is" << kMaxShownLength;
        edit->setPlainText(QStringLiteral("内容过大，无法显示（%1 MB）").arg(text.size() / (1024 * 1024)));
        return false;
    }
    if (RichTextConfig::isHtml(text))
        edit->setHtml(displayableHtml(text));
    else
        edit->setPlainText(text);
    return true;
}

} // namespace HXCPControls
