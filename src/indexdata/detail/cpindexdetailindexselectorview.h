#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpindexdetailrequest.h"

#include <QJsonDocument>
#include <QList>
#include <QSet>
#include <QVariantMap>
#include <QWidget>

#include <memory>

namespace Ui {
class CPIndexDetailIndexSelectorView;
class CPIndexSelectorItem;
}

namespace HXDataApi {
class HXDatasourceService;
}

namespace HXCPControls {

// One row of the detail dialog's index list: the name, a visibility switch
// and a delete button (neither for the required first index).
class HXCPCONTROLS_EXPORT CPIndexSelectorItem : public QWidget
{
    Q_OBJECT
public:
    CPIndexSelectorItem(QWidget *parent, const QVariantMap &row);
    ~CPIndexSelectorItem() override;

    QVariantMap row() const { return m_row; }
    bool isShown() const;
    void setShown(bool shown);

signals:
    void visiableChanged(QVariant idxId, bool invisible);
    void deleted(QVariant idxId);

private:
    std::unique_ptr<Ui::CPIndexSelectorItem> ui;
    QVariantMap m_row;
};

// The list of indices the detail dialog shows: the requested index first
// (required), then those added through "添加数据".
class HXCPCONTROLS_EXPORT CPIndexDetailIndexSelectorView : public QWidget
{
    Q_OBJECT
public:
    CPIndexDetailIndexSelectorView(QWidget *parent, const CPIndexDetailRequest &request,
                                   const CPIndexDetailSource &source = CPIndexDetailSource());
    ~CPIndexDetailIndexSelectorView() override;

    // Every listed index row, the required one first.
    QList<QVariantMap> indexes() const { return m_indexes; }
    // The listed rows that are not hidden.
    QList<QVariantMap> visibleIndexes() const;
    // Replaces the list after the required row (what the selector dialog does on acceptance).
    void setSelection(const QList<QVariantMap> &rows);
    void setHidden(const QVariant &idxId, bool hidden);
    void removeIndex(const QVariant &idxId);
    // The "idxCat" of the required row: the source code of the request.
    int idxCat() const { return m_idxCat; }

public slots:
    void resetData();
    // Opens the index selector in a dialog.
    void addIndexes();
    void loadRequiredIndex(const QJsonDocument &document, const QString &message);

signals:
    void indexChanged();

private:
    void rebuild();

    std::unique_ptr<Ui::CPIndexDetailIndexSelectorView> ui;
    CPIndexDetailRequest m_request;
    CPIndexDetailSource m_source;
    HXDataApi::HXDatasourceService *m_datasource;
    QList<QVariantMap> m_indexes;
    QSet<qint64> m_hidden;
    int m_idxCat = 0;
};

} // namespace HXCPControls
