#pragma once

#include "common/hxcpcontrols_global.h"
#include "editor/cpbasewidget.h"

#include <QJsonDocument>
#include <QList>
#include <QPair>
#include <QSet>
#include <QVariantMap>

#include <memory>

namespace Ui {
class CPIndexSelector;
}
class QStandardItem;
class QStandardItemModel;
class QTableView;

namespace HXControl {
class HXTreeView;
}

namespace HXCPControls {

class CPIndexDataService;

// The index picker: the catalogue under a root node, the indices of the
// clicked node as candidates, and the chosen indices. A row marked
// "required" cannot be removed.
class HXCPCONTROLS_EXPORT CPIndexSelector : public CPBaseWidget
{
    Q_OBJECT
public:
    using Columns = QList<QPair<QString, QString>>;

    // `fieldNames`: catalogue code, parent and text fields, an unused field,
    // the catalogue's has-indices flag, the index name and the index ID fields.
    CPIndexSelector(QWidget *parent, const Columns &columns, bool embedded, const QStringList &fieldNames);
    ~CPIndexSelector() override;

    // Starts loading the catalogue and shows `preselected` as the chosen indices.
    void loadIndexCatalog(const QString &catObjName, const QString &idxObjName, const QVariant &rootNode,
                          const QList<QVariantMap> &preselected);

    QList<QVariantMap> selected() const;
    int count() const;

    QString validateInput() override;

    void setUnitLimit(int limit) { m_unitLimit = limit; }
    int unitLimit() const { return m_unitLimit; }
    QString indexObjName() const { return m_idxObjName; }

    HXControl::HXTreeView *treeView() const;
    QTableView *candidateView() const;
    QTableView *selectedView() const;
    QStandardItemModel *candidateModel() const { return m_candidates; }
    QStandardItemModel *selectedModel() const { return m_selected; }

    // Adds one index row; false when it has no ID or is chosen already.
    bool addIndex(const QVariantMap &row);
    void removeIndex(int row);
    // The catalogue rows shown under `rootNode`, in SN order.
    static QJsonArray filterCatalog(const QJsonArray &rows, const QVariant &rootNode, const QString &catCodeField);

public slots:
    void loadIndexCatalog(const QJsonDocument &document, const QVariant &rootNode, const QString &message);
    void selectAll();
    void clearSelection();
    // Loads the candidates of a catalogue node.
    void loadCandidates(const QVariantMap &node);

signals:
    void selectIndexChanged(QList<QVariantMap> indexes);

private:
    QList<QStandardItem *> makeRow(const QVariantMap &row) const;
    void showSelectedMenu(const QPoint &pos);
    static bool isRequired(const QVariantMap &row);

    std::unique_ptr<Ui::CPIndexSelector> ui;
    Columns m_columns;
    QString m_catCodeField, m_parentCatField, m_catNameField, m_sortField, m_hasIndexField, m_indexNameField,
        m_indexIdField;
    QStandardItemModel *m_candidates;
    QStandardItemModel *m_selected;
    CPIndexDataService *m_service;
    QSet<QString> m_selectedIds;
    QString m_idxObjName;
    int m_unitLimit = 999;
};

} // namespace HXCPControls
