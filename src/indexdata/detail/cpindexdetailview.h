#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpindexdetailrequest.h"
#include "editor/cpdialogcontentitem.h"
#include "wk/iwkinterface.h"

#include <QDialog>

#include <memory>

namespace Ui {
class CPIndexDetailView;
}

namespace HXCPControls {

class CPIndexDetailChartPanel;
class CPIndexDetailIndexSelectorView;
class DialogMask;

// The content of the index detail dialog: a title bar with window buttons,
// the list of compared indices on the left (foldable) and the chart panel.
class HXCPCONTROLS_EXPORT CPIndexDetailView : public CPDialogContentItem, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    CPIndexDetailView(QWidget *parent, const CPIndexDetailRequest &request);
    ~CPIndexDetailView() override;

    int titleBarHeight() const override;

    CPIndexDetailRequest request() const { return m_request; }
    CPIndexDetailSource source() const { return m_source; }
    CPIndexDetailIndexSelectorView *indexList() const { return m_indexList; }
    CPIndexDetailChartPanel *chartPanel() const { return m_chartPanel; }
    bool isSelectorShown() const;
    void setSelectorShown(bool shown);

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

private:
    void setMaximizedLook(bool maximized);

    std::unique_ptr<Ui::CPIndexDetailView> ui;
    CPIndexDetailRequest m_request;
    CPIndexDetailSource m_source;
    CPIndexDetailIndexSelectorView *m_indexList;
    CPIndexDetailChartPanel *m_chartPanel;
    bool m_maximized = false;
};

// The maximized, frameless dialog that dims the window and shows a detail
// view in a movable, resizable frame.
class HXCPCONTROLS_EXPORT CPIndexDetailDialog : public QDialog
{
    Q_OBJECT
public:
    CPIndexDetailDialog(QWidget *parent, CPIndexDetailView *view);
    ~CPIndexDetailDialog() override;

    DialogMask *mask() const { return m_mask; }
    CPIndexDetailView *view() const { return m_view; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void place();

    DialogMask *m_mask;
    CPIndexDetailView *m_view;
    bool m_placed = false;
    QRect m_placedGeometry;
};

} // namespace HXCPControls
