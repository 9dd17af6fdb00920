#pragma once

#include "common/hxcpcontrols_global.h"

#include <QObject>

namespace HXCPControls {

// An event filter for tool buttons that shows a hover icon while the cursor
// is over the button and the normal icon otherwise. A button whose "selected"
// property is true keeps whatever icon it has.
class HXCPCONTROLS_EXPORT ButtonHoverWatcher : public QObject
{
public:
    // Both icons are skin image names, such as "custompage/add.png".
    ButtonHoverWatcher(QObject *parent, const QString &normalIcon, const QString &hoverIcon);

    QString normalIconPath() const { return m_normalIcon; }
    QString hoverIconPath() const { return m_hoverIcon; }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_normalIcon;
    QString m_hoverIcon;
};

} // namespace HXCPControls
