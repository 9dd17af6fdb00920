#pragma once

#include "zhphost_global.h"

#include <QMenu>

// The host's menu: a QMenu with the host's look whose submenus are of the same kind.
class ZHPHOST_EXPORT WKCustomMenu : public QMenu
{
    Q_OBJECT
public:
    explicit WKCustomMenu(QWidget *parent = nullptr);

    // Adds and returns a submenu titled `title`.
    WKCustomMenu *addMenu(const QString &title);
};
