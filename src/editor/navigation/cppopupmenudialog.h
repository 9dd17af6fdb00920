#pragma once

#include "common/hxcpcontrols_global.h"

#include <QDialog>
#include <QJsonObject>
#include <QList>
#include <QVariantMap>

class QStackedWidget;

namespace HXCPControls {

class CPProductionCategory;

// The popup of the product menu: one page per root category listing its
// sub-categories and their products. Its right edge can be dragged to
// resize it; a right click closes it.
class HXCPCONTROLS_EXPORT CPPopupMenuDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CPPopupMenuDialog(QWidget *topWidget = nullptr, bool embedded = false);
    ~CPPopupMenuDialog() override;

    void setCategories(const QList<QVariantMap> &categories);
    void setCurrentPage(int index);

    QStackedWidget *stack() const { return m_stack; }
    // The product groups of page `index`.
    QList<CPProductionCategory *> groups(int index) const;
    bool onRightEdge() const { return m_onRightEdge; }

signals:
    void switchProd(QJsonObject prod);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool atRightEdge(const QPoint &globalPos) const;

    QStackedWidget *m_stack;
    bool m_pressed = false;
    bool m_onRightEdge = false;
    bool m_edgeDrag = false;
};

} // namespace HXCPControls
