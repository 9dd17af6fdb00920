#pragma once

#include "common/hxcpcontrols_global.h"

#include <QStyledItemDelegate>

namespace HXCPControls {

// Paints the row under the mouse on a grey band, every other row on white.
class HXCPCONTROLS_EXPORT CPTableViewStyledItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setHighlightRow(int row) { m_highlightRow = row; }
    int highlightRow() const { return m_highlightRow; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_highlightRow = -1;
};

} // namespace HXCPControls
