#pragma once

#include <QJsonArray>
#include <QListWidget>
#include <QVector>

#include <memory>

namespace HXCPControls {
class CPCompositePanelService;
}

// A page of a page tree, as the tree lists it.
struct PageNode {
    QString padId;
    QString name;
    QString path; // the names of the categories above it, joined by " / "
};

// The page nodes of a category tree answer, in tree order.
QVector<PageNode> pageNodes(const QJsonArray &tree);

// A component listing the pages of the current product by title; a click
// opens one. Registered in the widget factory as "WKTitleModeListView", the
// component that the tab containers' "添加新页" menu adds.
//
// The main window opens the page when it offers a slot
// openPad(QString padId, QString title); otherwise the page opens in a
// window of its own.
class WKTitleModeListView : public QListWidget
{
    Q_OBJECT
public:
    explicit WKTitleModeListView(QWidget *parent = nullptr);
    ~WKTitleModeListView() override;

    // Asks the server for the product's tree again.
    void reload();

signals:
    void changePad(const QString &padId, const QString &title);

private:
    void showPages(const QVector<PageNode> &pages);
    void showMessage(const QString &text);
    void open(QListWidgetItem *item);

    std::unique_ptr<HXCPControls::CPCompositePanelService> m_service;
};
