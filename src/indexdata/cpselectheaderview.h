#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonDocument>
#include <QList>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

#include <memory>

namespace Ui {
class CPSelectHeaderView;
}
class QListView;
class QStandardItem;
class QStandardItemModel;

namespace HXCPControls {

class CPIndexDataService;

// The columns a table shows, in order: the properties of a data object as
// checkable items, reordered by dragging. Fixed names are always shown.
class HXCPCONTROLS_EXPORT CPSelectHeaderView : public QWidget
{
    Q_OBJECT
public:
    CPSelectHeaderView(QWidget *parent, const QString &dataObjName, const QStringList &fixedNames);
    ~CPSelectHeaderView() override;

    // Loads the object's properties and checks `headers` (all when empty).
    void setSelected(QList<QVariantMap> headers);

    // The checked property rows in list order; `limitField` receives the
    // PROP_NAME of the last row whose PROP_FLAG is 1.
    QList<QVariantMap> selected(QString *limitField = nullptr) const;
    int count() const;

    QListView *listView() const;
    QStandardItemModel *model() const { return m_model; }

public slots:
    void loadIndexProp(const QJsonDocument &document, QList<QVariantMap> selectedList);

signals:
    void headersChanged();

private:
    QStandardItem *makeItem(const QVariantMap &row, bool checked) const;

    std::unique_ptr<Ui::CPSelectHeaderView> ui;
    QString m_dataObjName;
    QStringList m_fixedNames;
    QStandardItemModel *m_model;
    CPIndexDataService *m_service;
};

} // namespace HXCPControls
