#pragma once

#include "common/hxcpcontrols_global.h"

#include <QList>
#include <QStringList>

namespace HXCPControls {

class CPSplitView;

// The rules of the split tree apart from its widgets: how sizes are shared
// out when items are split and deleted, and what a well-formed tree is.
namespace SplitTree {

// Equal sizes for `count` children sharing `width` (replaced by
// `pendingWidth` when there are two children and it is at least 1), less
// the handles between them.
HXCPCONTROLS_EXPORT QList<int> equalSizes(int count, int width, int handleWidth, int pendingWidth = 0);

// The sizes after the child at `index` is split in its splitter's direction:
// it keeps the lower half, the new child (before it when `newFirst`, after it
// otherwise) takes the rest.
HXCPCONTROLS_EXPORT QList<int> sizesAfterSplit(const QList<int> &sizes, int index, bool newFirst);

// The sizes of the remaining children after the child at `index` is deleted:
// the next child takes its space, or the previous one when it was the last.
// Empty when two or fewer children were there (the splitter is dissolved).
HXCPCONTROLS_EXPORT QList<int> sizesAfterDelete(const QList<int> &sizes, int index);

// What is wrong with a live tree after an edit: a missing root, a splitter
// with fewer than two children or not one size per child, a child that is
// neither splitter nor item, an item that does not know its split view or
// has no `zhpObj`. Empty for a well-formed tree.
HXCPCONTROLS_EXPORT QStringList problems(const CPSplitView *view);

} // namespace SplitTree
} // namespace HXCPControls
