#include "cpdialogcontentitem.h"

namespace HXCPControls {

CPDialogContentItem::CPDialogContentItem(QWidget *parent)
    : QWidget(parent)
{
}

CPDialogContentItem::~CPDialogContentItem() = default;

int CPDialogContentItem::titleBarHeight() const
{
    return 100;
}

} // namespace HXCPControls
