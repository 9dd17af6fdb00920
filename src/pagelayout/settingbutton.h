#pragma once

#include "common/hxcpcontrols_global.h"

class QToolButton;
class QWidget;

namespace HXCPControls {

// The 16 × 16 setting button of items and tab containers, with its normal,
// active and selected icons (":/images/setting.png", "settingH.png", "settingP.png").
HXCPCONTROLS_EXPORT QToolButton *makeSettingButton(QWidget *parent);

} // namespace HXCPControls
