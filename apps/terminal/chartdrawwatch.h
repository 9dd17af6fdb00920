#pragma once

#include <QWidget>

// Follows the chart views under a widget: whether every visible chart has
// drawn what it was given. A chart view counts as drawn once it has handed
// an option to its chart (its chartDrawn signal); a chart still without an
// option (its data not yet there) counts as not drawn when `needOption`.
namespace ChartDrawWatch {

// Starts following the chart views under `root` that are not followed yet.
void follow(QWidget *root);

// The visible chart views under `root` that have not drawn yet.
int undrawnVisibleCharts(QWidget *root, bool needOption);

// The visible chart views under `root`.
int visibleCharts(QWidget *root);

} // namespace ChartDrawWatch
