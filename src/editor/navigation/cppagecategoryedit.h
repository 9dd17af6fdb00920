#pragma once

#include "common/hxcpcontrols_global.h"
#include "hxdataapi/httpjsonresult.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>

#include <functional>
#include <memory>

class QPushButton;
class QLabel;
class QStandardItem;
class QTreeView;

namespace HXCPControls {

class CPCompositePanelService;
class CPTreeModel;

// The editable category tree of the user (or of a product): pages and
// categories can be added, renamed, deleted, moved by drag and drop and
// saved under another name. Every change shows at once and is then sent to
// the server; a failed write asks the user to refresh.
class HXCPCONTROLS_EXPORT CPPageCategoryEdit : public QWidget
{
    Q_OBJECT
public:
    CPPageCategoryEdit(QWidget *parent = nullptr, bool editable = true, bool userMode = true);
    ~CPPageCategoryEdit() override;

    // Product mode: the product whose tree is shown and the page to open in it.
    void setProduct(const QJsonObject &product, const QString &padId);
    void setCurrentPadId(const QString &padId) { m_currentPadId = padId; }

    QString rootTitle() const;
    QString currentPadId() const { return m_currentPadId; }
    QString currentTitle() const { return m_currentTitle; }
    CPTreeModel *model() const { return m_model; }
    QTreeView *tree() const { return m_tree; }
    bool isEditable() const { return m_editable; }
    bool isUserMode() const { return m_userMode; }

signals:
    void changePad(QString padId, QString title);

public slots:
    void loadData(bool triggerPad);
    void loadUserData(bool triggerPad);
    void add(bool selectNode);
    void del();
    void contextMenu(QPoint pos);
    void changeNodePosition(const QStandardItem *parentItem, QString nodeCode);
    void invokeMessageError(const QString &msg);
    void edit();

private slots:
    void loadTree(const QJsonDocument &doc, bool triggerPad);

private:
    void requestTree(bool triggerPad);
    void openPage(QStandardItem *item);
    void saveAs(QStandardItem *item);
    QString titleOf(const QStandardItem *item) const;
    QString productCode() const;
    void warnNoSelection();
    // Calls `cb` with the outcome of a write; a failure shows `failure`.
    std::function<void(const HXDataApi::HttpJsonResult &)> writeCallback(const QString &failure);

    bool m_editable;
    bool m_userMode;
    std::unique_ptr<CPCompositePanelService> mNodeService;
    QJsonObject m_product;
    QString m_currentPadId;
    QString m_currentTitle;
    QLabel *m_title;
    QPushButton *m_addBtn;
    QPushButton *m_delBtn;
    QPushButton *m_refreshBtn;
    QTreeView *m_tree;
    CPTreeModel *m_model;
};

} // namespace HXCPControls
