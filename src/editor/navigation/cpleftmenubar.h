#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpleftmenuitem.h"

#include <QList>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

class QVBoxLayout;

namespace HXCPControls {



// The product menu bar: one entry per root product category. Hovering an
// entry asks for its popup; leaving it asks to close it.
class HXCPCONTROLS_EXPORT CPLeftMenuBar : public QWidget
{
    Q_OBJECT
public:
    explicit CPLeftMenuBar(QWidget *parent = nullptr);
    ~CPLeftMenuBar() override;

    void setCategories(const QList<QVariantMap> &categories);
    void setSelected(int index);
    void clearSelection();

    QList<CPLeftMenuItem *> items() const { return m_items; }
    CPLeftMenuItem *selectedItem() const { return m_selected; }

signals:
    void switchPopMenu(int index);
    void closePopMenu(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QVBoxLayout *m_menuLayout;
    QWidget *m_expandWidget = nullptr;
    QList<CPLeftMenuItem *> m_items;
    QPointer<CPLeftMenuItem> m_selected;
};

} // namespace HXCPControls
