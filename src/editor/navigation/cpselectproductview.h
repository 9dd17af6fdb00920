#pragma once

#include "common/hxcpcontrols_global.h"
#include "cppopupmenudialog.h"
#include "wk/iwkinterface.h"

#include <QJsonObject>
#include <QList>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <memory>

namespace HXCPControls {

class CPLeftMenuBar;
class CPPageCategory;
class CPPageCategoryEdit;

class CPProductService;

// The page through which a user reaches the pages of a product: the menu
// bar of root product categories, a popup with each category's products,
// and the category tree of the current product. Picking a product switches
// the editable tree to it, or asks the host to open the product's analysis
// page ("openStringUrl" on the main window).
class HXCPCONTROLS_EXPORT CPSelectProductView : public QWidget, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    explicit CPSelectProductView(QWidget *parent = nullptr, bool editable = false, bool embedded = false);
    ~CPSelectProductView() override;

    // Loads the product catalogue; the tree then shows `productCode`'s pages and opens `padId`.
    void loadData(const QString &productCode, const QString &padId);

    CPLeftMenuBar *menuBar() const { return m_menuBar; }
    CPPopupMenuDialog *popup() const { return m_popup; }
    CPPageCategory *categoryView() const { return m_view; }
    CPPageCategoryEdit *categoryEdit() const { return m_edit; }
    int currentIndex() const { return m_currentIndex; }
    bool isMenuHovered() const { return m_menuHovered; }

    // The outermost ancestor of `widget` (the widget itself without a parent).
    static QWidget *getTopWidget(QWidget *widget);
    // The analysis page URL of a product.
    static QString analysisUrl(const QJsonObject &product);

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

signals:
    void changePad(QString padId, QString title);

public slots:
    void loadMenuData(QJsonObject product, QString padId, QList<QVariantMap> list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void switchPopMenu(int index);
    void closePopMenu(int index);
    void switchProd(const QJsonObject &product);
    bool cursorInPopupMenuDialog();
    void hidePopup();

    bool m_editable;
    CPLeftMenuBar *m_menuBar;
    QWidget *m_category;
    CPPageCategory *m_view = nullptr;
    CPPageCategoryEdit *m_edit = nullptr;
    QPointer<CPPopupMenuDialog> m_popup;
    std::unique_ptr<CPProductService> m_productService;
    int m_currentIndex = -1;
    bool m_menuHovered = false;
    QList<QVariantMap> m_list;
};

} // namespace HXCPControls
