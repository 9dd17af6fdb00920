#pragma once

#include "common/hxcpcontrols_global.h"

class QString;
class QToolButton;
class QWidget;

namespace HXCPControls {

// The 16 × 16 setting button of items and tab containers, with its normal,
// active and selected icons (":/images/setting.png", "settingH.png", "settingP.png").
HXCPCONTROLS_EXPORT QToolButton *makeSettingButton(QWidget *parent);

// Applies the style sheet again after a property that it selects on changed.
HXCPCONTROLS_EXPORT void repolish(QWidget *widget);

// A warning box asking to confirm an editing operation, with the buttons
// labelled "确 定" and "取 消"; true when the user confirmed.
HXCPCONTROLS_EXPORT bool askConfirmation(QWidget *parent, const QString &title, const QString &text);

} // namespace HXCPControls
