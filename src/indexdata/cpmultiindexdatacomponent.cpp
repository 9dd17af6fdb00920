#include "cpmultiindexdatacomponent.h"

namespace HXCPControls {

CPMultiIndexDataComponent::CPMultiIndexDataComponent(QWidget *parent)
    : CPIndexDataComponent(parent)
{
    // The view keeps the configuration it was built with; only the settings
    // dialog, which reads the configuration when it opens, sees the change.
    m_config.dataObjName = QStringLiteral("ZRN_INDEX_MULTI_PRICE_1");
    m_config.indexObjName = QStringLiteral("ZRN_VEZ_INDEX_MULTIPRICE_1");
}

} // namespace HXCPControls
