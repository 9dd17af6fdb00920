#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CPToolBarView;
}

namespace HXCPControls {

// The bar above a page in the editor workspace: the page title, the switch
// between a height that follows the window (responsive) and a fixed design
// height, the height dialog, preview and save.
//
// States: responsive editing (at start), fixed editing, and preview over
// either; preview hides both height buttons and leaving it shows them again.
class HXCPCONTROLS_EXPORT CPToolBarView : public QWidget, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    // `embedded`: the enclosing workspace registers the style sheet for the whole.
    explicit CPToolBarView(QWidget *parent = nullptr, bool embedded = false);
    ~CPToolBarView() override;

    void setToolBarTitle(const QString &title);
    // The page's height when it was loaded: the base of the dialog's ratio buttons.
    void setDesignHeight(int height);
    // Stores the state; the buttons follow it.
    void setResponsiveState(bool responsive, int height);

    bool isPreview() const { return m_preview; }
    bool isResponsive() const { return m_responsive; }
    int fixedHeight() const { return m_fixedHeight; }
    int designHeight() const { return m_designHeight; }

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

signals:
    void previewState(bool isPreview);
    void responsiveHeightChanged(int height);
    void save();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setPreView();
    void popupHeightDialog();
    void toggleResponsive();
    // Texts and visibility of the buttons for the current state.
    void updateButtons();

    std::unique_ptr<Ui::CPToolBarView> ui;
    bool m_preview = false;
    bool m_responsive = true;
    int m_fixedHeight = -1;
    int m_designHeight = -1;
};

} // namespace HXCPControls
