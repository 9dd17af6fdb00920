#pragma once

#include "common/hxcpcontrols_global.h"

#include <QString>
#include <QVariantMap>

namespace HXCPControls {

// What a rich text component stores with its page: whether the title line is
// shown, the title, and the text (HTML when it starts with "<", plain text
// otherwise).
struct HXCPCONTROLS_EXPORT RichTextConfig
{
    bool isShowTitle = false;
    QString title;
    QString text;

    // The stored object, keys in the order the page writes them.
    QVariantMap toMap() const;
    // Absent keys give false and empty strings.
    static RichTextConfig fromMap(const QVariantMap &map);

    // True when `text` is read as HTML: its first character is "<".
    static bool isHtml(const QString &text);

    bool operator==(const RichTextConfig &other) const
    {
        return isShowTitle == other.isShowTitle && title == other.title && text == other.text;
    }
    bool operator!=(const RichTextConfig &other) const { return !(*this == other); }
};

} // namespace HXCPControls
