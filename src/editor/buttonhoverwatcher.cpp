#include "buttonhoverwatcher.h"

#include "skinimagepath.h"

#include <QEvent>
#include <QIcon>
#include <QToolButton>
#include <QVariant>

namespace HXCPControls {

ButtonHoverWatcher::ButtonHoverWatcher(QObject *parent, const QString &normalIcon, const QString &hoverIcon)
    : QObject(parent)
    , m_normalIcon(skinImagePath(normalIcon))
    , m_hoverIcon(skinImagePath(hoverIcon))
{
}

bool ButtonHoverWatcher::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QToolButton *>(watched);
    if (!button || button->property("selected").toBool())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
        button->setIcon(QIcon(m_hoverIcon));
        return true;
    case QEvent::Leave:
        button->setIcon(QIcon(m_normalIcon));
        return true;
    default:
        return false;
    }
}

} // namespace HXCPControls
