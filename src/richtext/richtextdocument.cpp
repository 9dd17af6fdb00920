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
    return RichTextImages::loadResource(type, name);
}

QString RichTextDocument::displayableHtml(const QString &html)
{
    // The text document runs nothing, but it would show the source of a
    // script as text; frames and objects have no meaning in a page.
    static const QRegularExpression blocks(
        QStringLiteral("<(script|iframe|object|embed|frameset|noscript)\\b[^>]*>.*?(</\\1\\s*>|$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression singles(QStringLiteral("</?(script|iframe|object|embed|frame|frameset|noscript)\\b[^>]*>"),
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
