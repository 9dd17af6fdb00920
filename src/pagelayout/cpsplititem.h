#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpsplitterindicator.h"
#include "wk/iwkinterface.h"

#include <QFrame>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>

class QGridLayout;
class QLabel;
class QMenu;
class QToolButton;

namespace HXCPControls {

class CPSplitView;
class CPSplitter;

// A leaf of a page's split tree, holding at most one component named by a
// content URL. A restored item keeps its stored map until it is first shown
// and only then creates its component, so hidden tab pages stay cheap.
class HXCPCONTROLS_EXPORT CPSplitItem : public QFrame, public IWKMemory
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory)
    Q_PROPERTY(bool editModel READ editModel WRITE setEditModel NOTIFY editModelChanged)
    Q_PROPERTY(QWidget *zhpObj READ zhpObj WRITE setZhpObj NOTIFY zhpObjChanged)
public:
    explicit CPSplitItem(QWidget *parent = nullptr);
    ~CPSplitItem() override;

    void save(QVariantMap &map) override;
    void restore(const QVariantMap &map) override;

    // Creates the component of `url` and puts it in place of the current one.
    void setContentUrl(const QUrl &url);
    QUrl contentUrl() const { return m_url; }
    QWidget *content() const { return m_content; }
    // The component that the stored URL names but this build cannot create;
    // empty otherwise. Its stored state is kept and saved back unchanged.
    QString missingComponent() const;
    // Takes the component out; the caller owns it.
    QWidget *takeContent();

    bool editModel() const { return m_editModel; }
    void setEditModel(bool editModel);
    QWidget *zhpObj() const { return m_zhpObj; }
    void setZhpObj(QWidget *obj);

    bool restorePending() const { return m_restorePending; }
    CPSplitView *splitView() const;
    // Made when the item is first shown in edit mode, or when asked for.
    CPSplitterIndicator *indicator() const;
    QToolButton *settingButton() const { return m_settingBtn; }

    // Shows or hides the indicator and the setting button for the current state.
    void updateDecorations();

    // The setting menu as it would open now (the caller owns it).
    QMenu *createSettingMenu();
    // Fills `menu` with the operations of `item`.
    static void initSettingMenu(QMenu *menu, CPSplitItem *item);

public slots:
    // Splits the item towards a side, or deletes it.
    void onIndicator(HXCPControls::Indicator indicator);
    // Asks, then takes the component out and deletes it.
    void clearContent();
    // Edits the item's sizes and size policy in a dialog.
    void editSizePolicy();

signals:
    void editModelChanged(bool editModel);
    void zhpObjChanged(const QWidget *obj);
    void contentChanged();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void placeIndicator();
    void applyStored();
    void setMissing(const QVariant &child);
    void onFocusChanged(QWidget *old, QWidget *now);
    void setDynamicState(const char *name, bool on);
    bool parentIsSplitNode() const;
    void handleBusEvent(QEvent *event);
    void split(Qt::Orientation orientation, bool newItemFirst);
    void deleteItem();
    void showSettingMenu();
    void fillSettingMenu(QMenu *menu);

    QPointer<CPSplitView> m_splitView;
    QPointer<QWidget> m_content;
    QPointer<QWidget> m_zhpObj;
    QUrl m_url;
    QVariantMap m_pending;
    // The stored `child` of a component that could not be created, and the
    // placeholder that names it in edit mode.
    QVariant m_keptChild;
    QLabel *m_missing = nullptr;
    bool m_restorePending = false;
    bool m_editModel = true;
    bool m_hovered = false;
    QGridLayout *m_layout;
    // The decorations are kept above everything else (updateDecorations);
    // the indicator is made when first needed.
    mutable CPSplitterIndicator *m_indicator = nullptr;
    QToolButton *m_settingBtn;
};

} // namespace HXCPControls
