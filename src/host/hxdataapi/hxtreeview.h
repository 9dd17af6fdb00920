#pragma once

#include "zhphost_global.h"

#include <QJsonDocument>
#include <QModelIndex>
#include <QVariantMap>
#include <QWidget>

class QLineEdit;
class QStandardItem;
class QStandardItemModel;
class QSortFilterProxyModel;
class QTreeView;

namespace HXControl {

// A tree built from flat rows (each names its parent), with a find box that
// narrows the tree to the nodes whose text contains what was typed, keeping
// their ancestors so that every match stays reachable.
class ZHPHOST_EXPORT HXTreeView : public QWidget
{
    Q_OBJECT
public:
    enum Role { RowRole = Qt::UserRole + 1, FlagRole };

    explicit HXTreeView(QWidget *parent = nullptr);

    void setFindItemVisible(bool visible);

    // Builds the tree from an array of row objects. A row whose parent is not
    // among the rows becomes a top-level node; rows keep their order among
    // siblings. `sortField`, when given, orders siblings by that field instead.
    // `toolTipField`, when given, fills each node's tool tip. Nodes whose
    // `flagField` value counts as true are marked as holding data.
    void loadData(const QJsonDocument &rows, const QString &idField, const QString &parentField,
                  const QString &textField, const QString &sortField = QString(),
                  const QString &toolTipField = QString(), const QString &flagField = QString());

    QTreeView *treeView() const { return m_tree; }
    QLineEdit *findEdit() const { return m_find; }
    QStandardItemModel *model() const { return m_model; }

    // The source index of the node with `id` (invalid when there is none).
    QModelIndex indexOfId(const QString &id) const;

    static bool isTrue(const QVariant &flag);

signals:
    void clicked(const QModelIndex &index, const QVariantMap &row);

private:
    void applyFilter(const QString &text);

    QLineEdit *m_find;
    QTreeView *m_tree;
    QStandardItemModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QHash<QString, QStandardItem *> m_byId;
};

} // namespace HXControl
