#pragma once

#include "common/hxcpcontrols_global.h"

#include <QSize>
#include <QSizePolicy>
#include <QString>

namespace HXCPControls {

// Text forms of sizes and size policies as pages store them.
namespace ContentFormat {

// "width:height", decimal.
HXCPCONTROLS_EXPORT QString sizeToText(const QSize &size);
// Splits at ':'; exactly two parts give a size (a part that is not a number
// reads as 0), any other count an invalid size.
HXCPCONTROLS_EXPORT QSize textToSize(const QString &text);
// Whether a size read from text may be applied: both parts 0 or more.
HXCPCONTROLS_EXPORT bool isApplicable(const QSize &size);

// "Fixed", "Minimum", "Maximum", "Preferred", "MinimumExpanding", "Expanding",
// "Ignored"; "" for a value that has no name.
HXCPCONTROLS_EXPORT QString policyName(QSizePolicy::Policy policy);
// The policy of a name; false when the name is unknown.
HXCPCONTROLS_EXPORT bool policyFromName(const QString &name, QSizePolicy::Policy *policy);

} // namespace ContentFormat

// Class names as pages store them.
inline const char *const kSplitterClass = "HXCPControls::CPSplitter";
inline const char *const kSplitItemClass = "HXCPControls::CPSplitItem";
inline const char *const kSplitViewClass = "HXCPControls::CPSplitView";
inline const char *const kTabWidgetClass = "HXCPControls::CPTabWidget";

} // namespace HXCPControls
