#pragma once

#include "common/hxcpcontrols_global.h"
#include "indexdata/cpindexdataconfig.h"
#include "indexdata/cpindexdatastate.h"
#include "wk/iwkinterface.h"

#include <QFrame>

class QAction;

namespace HXCPControls {

class CPComponentPanel;
class CPIndexDataView;

// The page component that shows the latest values of chosen indices at one
// chosen frequency. Its "设置" action opens the settings dialog; its state
// is stored with the page under six keys.
class HXCPCONTROLS_EXPORT CPIndexDataComponent : public QFrame, public IWKMemory, public IWKSkin
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory IWKSkin)
public:
    explicit CPIndexDataComponent(QWidget *parent = nullptr);
    ~CPIndexDataComponent() override;

    void save(QVariantMap &map) override;
    void restore(const QVariantMap &map) override;
    QWidget *widget() override { return this; }
    void loadSkin(const QVariant &skin) override;

    const CPIndexDataConfig &config() const { return m_config; }
    const CPIndexDataState &state() const { return m_state; }
    CPIndexDataView *view() const { return m_view; }
    CPComponentPanel *panel() const { return m_panel; }
    QAction *settingAction() const { return m_settingAction; }

public slots:
    void initControl();
    void invokeMessageError(const QString &message);
    void invokeRestore(const QVariantMap &map);
    // Opens the settings dialog; an accepted dialog replaces the state.
    void showSetting();

protected:
    CPIndexDataConfig m_config;

private:
    CPIndexDataState m_state;
    CPComponentPanel *m_panel = nullptr;
    CPIndexDataView *m_view = nullptr;
    QAction *m_settingAction = nullptr;
};

} // namespace HXCPControls
