#include "cptreemodel.h"

#include "categorynode.h"

namespace HXCPControls {

CPTreeModel::CPTreeModel(QObject *parent)
    : QStandardItemModel(parent)
{
    qRegisterMetaType<const QStandardItem *>("const QStandardItem*");
}

Qt::DropActions CPTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

bool CPTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                               const QModelIndex &parent)
{
    if (!QStandardItemModel::dropMimeData(data, action, row, column, parent))
        return false;
    const QStandardItem *parentItem = itemFromIndex(parent);
    QString nodeCode;
    if (row >= 0) {
        const QStandardItem *landed = parentItem ? parentItem->child(row) : item(row);
        nodeCode = CategoryNode::nodeOf(landed).value(QStringLiteral("NODE_CODE")).toString();
    }
    emit moveItem(parentItem, nodeCode);
    return true;
}

} // namespace HXCPControls
