#pragma once

#include "common/hxcpcontrols_global.h"
#include "richtextconfig.h"
#include "wk/iwkinterface.h"

#include <QFrame>

class QAction;

namespace HXCPControls {

class CPComponentPanel;
class RichTextView;

// The page component that shows a block of formatted text under an optional
// title line. Its "设置" action (Ctrl+P) opens the rich text editor; the
// title, whether it is shown and the text are stored with the page.
class HXCPCONTROLS_EXPORT CPRichTextComponent : public QFrame, public IWKMemory, public IWKSkin
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory IWKSkin)
public:
    explicit CPRichTextComponent(QWidget *parent = nullptr);
    ~CPRichTextComponent() override;

    // Writes isShowTitle, title and text.
    void save(QVariantMap &map) override;
    // Reads the three keys (absent ones give false and empty strings) and shows them.
    void restore(const QVariantMap &map) override;
    QWidget *widget() override { return this; }
    void loadSkin(const QVariant &skin) override;

    RichTextConfig config() const { return m_config; }
    RichTextView *view() const { return m_view; }
    CPComponentPanel *panel() const { return m_panel; }
    QAction *settingAction() const { return m_settingAction; }

public slots:
    // Opens the settings dialog; an accepted dialog replaces the configuration.
    void showSetting();

private:
    RichTextConfig m_config;
    RichTextView *m_view = nullptr;
    CPComponentPanel *m_panel = nullptr;
    QAction *m_settingAction = nullptr;
};

} // namespace HXCPControls
