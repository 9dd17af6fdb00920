#pragma once

#include "common/hxcpcontrols_global.h"

#include <QStandardItemModel>

namespace HXCPControls {

// The model of the editable category tree. A drop moves the dragged rows as
// the standard model does and then tells which node landed where.
class HXCPCONTROLS_EXPORT CPTreeModel : public QStandardItemModel
{
    Q_OBJECT
public:
    explicit CPTreeModel(QObject *parent = nullptr);

    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;
    Qt::DropActions supportedDropActions() const override;

signals:
    // A node was dropped under `parentItem` (null: the top level). `nodeCode`
    // names the node now at the dropped row; empty for a drop onto an item,
    // where the node became its last child.
    void moveItem(const QStandardItem *parentItem, QString nodeCode);
};

} // namespace HXCPControls

Q_DECLARE_METATYPE(const QStandardItem *)
