#include "cptableviewstyleditemdelegate.h"

#include <QPainter>

namespace HXCPControls {

void CPTableViewStyledItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    painter->fillRect(option.rect, QColor(index.row() == m_highlightRow ? QStringLiteral("#DFDFDF")
                                                                          : QStringLiteral("#FFFFFF")));
    QStyledItemDelegate::paint(painter, option, index);
}

} // namespace HXCPControls
