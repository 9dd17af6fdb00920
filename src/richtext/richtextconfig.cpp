#include "richtextconfig.h"

namespace HXCPControls {

QVariantMap RichTextConfig::toMap() const
{
    QVariantMap map;
    map.insert(QStringLiteral("isShowTitle"), isShowTitle);
    map.insert(QStringLiteral("title"), title);
    map.insert(QStringLiteral("text"), text);
    return map;
}

RichTextConfig RichTextConfig::fromMap(const QVariantMap &map)
{
    RichTextConfig config;
    config.isShowTitle = map.value(QStringLiteral("isShowTitle")).toBool();
    config.title = map.value(QStringLiteral("title")).toString();
    config.text = map.value(QStringLiteral("text")).toString();
    return config;
}

bool RichTextConfig::isHtml(const QString &text)
{
    return text.startsWith(QLatin1Char('<'));
}

} // namespace HXCPControls
