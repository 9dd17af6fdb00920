#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QPointer>
#include <QProxyStyle>
#include <QTabWidget>
#include <QUrl>

class QAction;
class QMenu;
class QToolButton;

namespace HXCPControls {

class CPSplitView;

// Draws tab texts left-aligned and vertically centred, 5 pixels in.
class HXCPCONTROLS_EXPORT CustomTabStyle : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};

// The tab container component: its pages are split items or whole split
// views, so pages nest without limit. Registered in the widget factory under
// "CPTabWidget" when the library loads.
class HXCPCONTROLS_EXPORT CPTabWidget : public QTabWidget, public IWKMemory
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory)
    Q_PROPERTY(bool editModel READ editModel WRITE setEditModel NOTIFY editableChanged)
public:
    explicit CPTabWidget(QWidget *parent = nullptr);

    void save(QVariantMap &map) override;
    void restore(const QVariantMap &map) override;

    bool editModel() const { return m_editModel; }
    bool showSetting() const { return m_showSetting; }
    QToolButton *settingButton() const { return m_settingBtn; }
    CPSplitView *splitView() const;

    QAction *addPageAction() const { return m_addPageAction; }
    QAction *addSplitterAction() const { return m_addSplitterAction; }
    QAction *userSettingAction() const { return m_userSettingAction; }

    // The setting menu as it would open now (the caller owns it).
    QMenu *createSettingMenu();

public slots:
    void addPage(const QUrl &url = QUrl());
    void addSplitterContainer();
    void changeTitle(int index);
    void delPage(int index);
    void setEditModel(bool editModel);
    void createSettingBtn();

signals:
    void editableChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refreshSettingButton();
    void applyEditModel();

    QPointer<CPSplitView> m_splitView;
    QToolButton *m_settingBtn = nullptr;
    QAction *m_addPageAction;
    QAction *m_addSplitterAction;
    QAction *m_userSettingAction;
    bool m_editModel = false;
    bool m_showSetting = false;
};

} // namespace HXCPControls
