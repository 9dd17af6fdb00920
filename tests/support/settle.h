#pragma once

#include "pagelayout/cpsplititem.h"

#include <QtTest>

namespace ZhpTest {

// The one wait of the widget tests: until every visible split item under
// `root` has applied its stored object (items do so when first shown) and
// what that posted has been delivered.
inline void settle(QWidget *root)
{
    QTRY_VERIFY([root] {
        for (HXCPControls::CPSplitItem *item : root->findChildren<HXCPControls::CPSplitItem *>()) {
            if (item->isVisible() && item->restorePending())
                return false;
        }
        return true;
    }());
    QCoreApplication::sendPostedEvents();
}

} // namespace ZhpTest
