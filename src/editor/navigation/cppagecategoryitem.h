#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonObject>
#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

namespace HXCPControls {

// One collapsible section of the read-only category view: a header with the
// category's name and, below it, the category's pages (or "没有节点").
class HXCPCONTROLS_EXPORT CPPageCategoryItem : public QWidget
{
    Q_OBJECT
public:
    CPPageCategoryItem(QWidget *parent, const QString &sectionTitle, const QString &rootTitle,
                       const QString &currentPadId, const QString &currentTitle, int index);
    ~CPPageCategoryItem() override;

    // Fills the body from a top-level category record; when it holds the
    // current page, the section opens and selects it (emitting changePad).
    void setRecord(const QJsonObject &record);

    int index() const { return m_index; }
    bool isExpanded() const { return m_expanded; }
    // The current page when this section holds it, else empty.
    QString currentPadId() const { return m_currentPadId; }
    QString currentTitle() const { return m_currentTitle; }
    QTreeView *tree() const { return m_tree; }
    // Shows the page `padId` as selected, opening the section to it, without
    // emitting changePad; false when the section does not hold that page.
    bool showPad(const QString &padId);

signals:
    void changePad(int index, QString padId, QString title);
    void onExpandSection(int index);

public slots:
    void selected(QStandardItem *item);
    void unselected();
    void expandSection();
    void collapseSection();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void toggle();
    void reveal(QStandardItem *item);
    void mark(QStandardItem *item);
    void setHeaderSelected(bool selected);
    void fitTreeHeight();

    int m_index;
    QString m_rootTitle;
    QString m_wantedPadId;
    QString m_wantedTitle;
    QString m_currentPadId;
    QString m_currentTitle;
    bool m_expanded = false;
    QWidget *m_header;
    QPushButton *m_startIcon;
    QLabel *m_titleLabel;
    QLabel *m_arrowLabel;
    QPushButton *m_endIcon;
    QWidget *m_body;
    QTreeView *m_tree = nullptr;
    QStandardItemModel *m_model = nullptr;
    QStandardItem *m_selectedItem = nullptr;
};

} // namespace HXCPControls
