#include "wkcustommenu.h"

WKCustomMenu::WKCustomMenu(QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("WKCustomMenu"));
}

WKCustomMenu *WKCustomMenu::addMenu(const QString &title)
{
    auto *sub = new WKCustomMenu(this);
    sub->setTitle(title);
    QMenu::addMenu(sub);
    return sub;
}
