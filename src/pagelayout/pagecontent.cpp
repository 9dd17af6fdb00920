#include "pagecontent.h"

#include "jsonguard.h"

#include "contentformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace HXCPControls {
namespace PageContent {

namespace {

const QLatin1String kTabWidgetKey("CPTabWidget");

// Walks the split tree of the content and stops at the first fault. Each
// node is visited once, so the check costs time in proportion to the page.
class Checker
{
public:
    explicit Checker(const Limits &limits)
        : m_limits(limits)
    {
    }

    QString error() const { return m_error; }

    bool splitView(const QJsonObject &view, const QString &path, int depth)
    {
        if (!optional(view, path, QStringLiteral("zhpArgs"), QJsonValue::Object)
            || !optional(view, path, QStringLiteral("rootItemType"), QJsonValue::String)
            || !optional(view, path, QStringLiteral("rootObj"), QJsonValue::Object)
            || !optional(view, path, QStringLiteral("padID"), QJsonValue::String)
            || !optional(view, path, QStringLiteral("zhpID"), QJsonValue::String))
            return false;
        const QString type = view.value(QLatin1String("rootItemType")).toString();
        const QString rootPath = join(path, QStringLiteral("rootObj"));
        const QJsonObject root = view.value(QLatin1String("rootObj")).toObject();
        if (type == QLatin1String(kSplitterClass))
            return splitter(root, rootPath, depth + 1);
        if (!type.isEmpty() && type != QLatin1String(kSplitItemClass))
            return fail(join(path, QStringLiteral("rootItemType")), unknownClass(type));
        return item(root, rootPath, depth + 1);
    }

private:
    bool node(const QString &path, int depth)
    {
        if (depth > m_limits.maxDepth)
            return fail(path, QStringLiteral("nested deeper than %1 levels").arg(m_limits.maxDepth));
        if (++m_nodes > m_limits.maxNodes)
            return fail(path, QStringLiteral("more than %1 splitters and items").arg(m_limits.maxNodes));
        return true;
    }

    bool splitter(const QJsonObject &object, const QString &path, int depth)
    {
        if (!node(path, depth) || !optional(object, path, QStringLiteral("children"), QJsonValue::Array)
            || !optional(object, path, QStringLiteral("sizes"), QJsonValue::Array)
            || !optional(object, path, QStringLiteral("orientation"), QJsonValue::Double))
            return false;
        const QJsonArray sizes = object.value(QLatin1String("sizes")).toArray();
        for (int i = 0; i < sizes.size(); ++i) {
            if (!sizes.at(i).isDouble())
                return fail(QStringLiteral("%1.sizes[%2]").arg(path).arg(i), QStringLiteral("a number was expected"));
        }
        const QJsonArray children = object.value(QLatin1String("children")).toArray();
        for (int i = 0; i < children.size(); ++i) {
            const QString childPath = QStringLiteral("%1.children[%2]").arg(path).arg(i);
            if (!children.at(i).isObject())
                return fail(childPath, QStringLiteral("an object was expected"));
            const QJsonObject child = children.at(i).toObject();
            if (!optional(child, childPath, QStringLiteral("className"), QJsonValue::String))
                return false;
            const QString className = child.value(QLatin1String("className")).toString();
            bool ok = false;
            if (className == QLatin1String(kSplitterClass))
                ok = splitter(child, childPath, depth + 1);
            else if (className == QLatin1String(kSplitItemClass))
                ok = item(child, childPath, depth + 1);
            else
                ok = fail(join(childPath, QStringLiteral("className")), unknownClass(className));
            if (!ok)
                return false;
        }
        return true;
    }

    bool item(const QJsonObject &object, const QString &path, int depth)
    {
        if (!node(path, depth) || !optional(object, path, QStringLiteral("url"), QJsonValue::String)
            || !optional(object, path, QStringLiteral("child"), QJsonValue::Object))
            return false;
        // Only the tab container's state holds more of the tree; every other
        // component's state is its own affair.
        const QString url = object.value(QLatin1String("url")).toString();
        if (url.section(QLatin1Char('?'), 0, 0) != kTabWidgetKey)
            return true;
        const QString childPath = join(path, QStringLiteral("child"));
        const QJsonObject tabs = object.value(QLatin1String("child")).toObject();
        if (!optional(tabs, childPath, QStringLiteral("pages"), QJsonValue::Array))
            return false;
        const QJsonArray pages = tabs.value(QLatin1String("pages")).toArray();
        for (int i = 0; i < pages.size(); ++i) {
            const QString pagePath = QStringLiteral("%1.pages[%2]").arg(childPath).arg(i);
            if (!pages.at(i).isObject())
                return fail(pagePath, QStringLiteral("an object was expected"));
            const QJsonObject page = pages.at(i).toObject();
            if (!optional(page, pagePath, QStringLiteral("ctype"), QJsonValue::String))
                return false;
            const QString ctype = page.value(QLatin1String("ctype")).toString();
            bool ok = false;
            if (ctype == QLatin1String(kSplitItemClass))
                ok = item(page, pagePath, depth + 1);
            else if (ctype == QLatin1String(kSplitViewClass))
                ok = node(pagePath, depth + 1) && splitView(page, pagePath, depth + 1);
            else
                ok = fail(join(pagePath, QStringLiteral("ctype")), unknownClass(ctype));
            if (!ok)
                return false;
        }
        return true;
    }

    // An absent or null key reads as a null value; a present one must have its type.
    bool optional(const QJsonObject &object, const QString &path, const QString &key, QJsonValue::Type type)
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() || value.isNull() || value.type() == type)
            return true;
        return fail(join(path, key), QStringLiteral("%1 was expected").arg(typeName(type)));
    }

    static QString typeName(QJsonValue::Type type)
    {
        switch (type) {
        case QJsonValue::Object:
            return QStringLiteral("an object");
        case QJsonValue::Array:
            return QStringLiteral("an array");
        case QJsonValue::String:
            return QStringLiteral("a string");
        default:
            return QStringLiteral("a number");
        }
    }

    static QString unknownClass(const QString &name) { return QStringLiteral("unknown class name \"%1\"").arg(name); }

    static QString join(const QString &path, const QString &key) { return path.isEmpty() ? key : path + QLatin1Char('.') + key; }

    bool fail(const QString &path, const QString &what)
    {
        m_error = path.isEmpty() ? what : path + QStringLiteral(": ") + what;
        return false;
    }

    const Limits m_limits;
    int m_nodes = 0;
    QString m_error;
};

QString checkObject(const QJsonObject &page, const Limits &limits)
{
    Checker checker(limits);
    return checker.splitView(page, QString(), 0) ? QString() : checker.error();
}

} // namespace

Result parse(const QByteArray &text, const Limits &limits)
{
    Result result;
    if (text.trimmed().isEmpty())
        return result;
    if (text.size() > limits.maxBytes) {
        result.error = QStringLiteral("%1 bytes, more than the limit of %2").arg(text.size()).arg(limits.maxBytes);
        return result;
    }
    // Qt's parser leaks the value a repeated key replaces: such content is not parsed.
    const QString repeated = zhpserver::duplicateJsonKey(text);
    if (!repeated.isNull()) {
        result.error = QStringLiteral("the key \"%1\" is repeated").arg(repeated.left(100));
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        result.error = QStringLiteral("%1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
        return result;
    }
    if (!doc.isObject()) {
        result.error = QStringLiteral("an object was expected");
        return result;
    }
    const QJsonObject page = doc.object();
    result.error = checkObject(page, limits);
    if (result.ok())
        result.content = page.toVariantMap();
    return result;
}

QString check(const QVariantMap &content, const Limits &limits)
{
    return checkObject(QJsonObject::fromVariantMap(content), limits);
}

} // namespace PageContent
} // namespace HXCPControls
