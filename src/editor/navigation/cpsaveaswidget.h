#pragma once

#include "editor/cpbasewidget.h"

#include <QJsonDocument>
#include <QList>
#include <QVariantMap>

#include <memory>

class QStandardItemModel;
class QTreeWidgetItem;

namespace Ui {
class CPSaveAsWidget;
}

namespace HXCPControls {

class CPCompositePanelService;
class CPProductService;

// The form of "另存为": the new page's name and the category it goes to,
// in the user's tree or (product mode) in the tree of a chosen product.
class HXCPCONTROLS_EXPORT CPSaveAsWidget : public CPBaseWidget
{
    Q_OBJECT
public:
    explicit CPSaveAsWidget(QWidget *parent = nullptr, bool userMode = true);
    ~CPSaveAsWidget() override;

    void setPageTitle(const QString &title);
    // "NODE_CODE" (the chosen category), "title" and, in product mode, "PRODUCT_CODE".
    QVariantMap saveAsTarget() const;

    QString validateInput() override;

public slots:
    void loadProdCatData(const QList<QVariantMap> &list);
    void loadPadCatData(const QJsonDocument &doc);
    void invokeMessageError(const QString &msg);

private:
    void loadProductTree(const QVariantMap &product);
    void requestTree(bool userMode, const QString &productCode);
    void onProductClicked(QTreeWidgetItem *item);

    std::unique_ptr<Ui::CPSaveAsWidget> ui;
    bool m_userMode;
    QStandardItemModel *m_padModel;
    std::unique_ptr<CPCompositePanelService> mNodeService;
    std::unique_ptr<CPProductService> m_productService;
    QString m_productCode;
    int m_generation = 0;
};

} // namespace HXCPControls
