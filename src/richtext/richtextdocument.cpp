#include "richtextdocument.h"

#include "common/logging.h"
#include "richtextconfig.h"
#include "richtextimages.h"

#include <QRegularExpression>
#include <QSet>
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

QString RichTextDocument::nestingProblem(const QString &html)
{
    // Laying out nested elements costs more than linear time in their depth,
    // and for tables it doubles with every level: a few dozen nested tables
    // would hold the terminal for minutes.
    static const QRegularExpression tag(QStringLiteral("<(/?)([A-Za-z][A-Za-z0-9]*)[^>]*?(/?)>"));
    // Elements without content, and those that a new one of their kind closes.
    static const QSet<QString> flat{
        QStringLiteral("br"), QStringLiteral("img"), QStringLiteral("hr"), QStringLiteral("meta"), QStringLiteral("link"),
        QStringLiteral("input"), QStringLiteral("col"), QStringLiteral("wbr"), QStringLiteral("area"), QStringLiteral("base"),
        QStringLiteral("param"), QStringLiteral("source"), QStringLiteral("p"), QStringLiteral("li"), QStringLiteral("td"),
        QStringLiteral("th"), QStringLiteral("tr"), QStringLiteral("dt"), QStringLiteral("dd"), QStringLiteral("option"),
        QStringLiteral("thead"), QStringLiteral("tbody"), QStringLiteral("tfoot"), QStringLiteral("html"), QStringLiteral("head"),
        QStringLiteral("body")};
    int depth = 0, maxDepth = 0, tables = 0, maxTables = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString name = m.captured(2).toLower();
        const bool closing = !m.capturedRef(1).isEmpty();
        if (name == QLatin1String("table")) {
            tables = qMax(0, tables + (closing ? -1 : 1));
            maxTables = qMax(maxTables, tables);
        } else if (flat.contains(name) || !m.capturedRef(3).isEmpty()) {
            continue;
        }
        depth = qMax(0, depth + (closing ? -1 : 1));
        maxDepth = qMax(maxDepth, depth);
    }
    if (maxTables > kMaxTableNesting)
        return QStringLiteral("tables nested %1 deep, more than %2").arg(maxTables).arg(kMaxTableNesting);
    if (maxDepth > kMaxNesting)
        return QStringLiteral("elements nested %1 deep, more than %2").arg(maxDepth).arg(kMaxNesting);
    return QString();
}

bool RichTextDocument::setText(QTextEdit *edit, const QString &text)
{
    QString notice, problem;
    if (text.size() > kMaxShownLength) {
        problem = QStringLiteral("%1 characters, more than %2").arg(text.size()).arg(kMaxShownLength);
        notice = QStringLiteral("内容过大，无法显示（%1 MB）").arg(text.size() / (1024 * 1024));
    } else if (RichTextConfig::isHtml(text) && !(problem = nestingProblem(text)).isEmpty()) {
        notice = QStringLiteral("内容嵌套过深，无法显示");
    }
    if (!problem.isEmpty()) {
        qCWarning(lcRichText).noquote() << "rich text not shown:" << problem;
        edit->setPlainText(notice);
        return false;
    }
    if (RichTextConfig::isHtml(text))
        edit->setHtml(displayableHtml(text));
    else
        edit->setPlainText(text);
    return true;
}

} // namespace HXCPControls
