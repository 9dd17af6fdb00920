#pragma once

#include "indexdata/cpindexdatacomponent.h"

namespace HXCPControls {

// The index table whose settings offer the multi-price indices of the spot
// market (daily and weekly prices and stocks).
class HXCPCONTROLS_EXPORT CPMultiIndexDataComponent : public CPIndexDataComponent
{
    Q_OBJECT
public:
    explicit CPMultiIndexDataComponent(QWidget *parent = nullptr);
};

} // namespace HXCPControls
