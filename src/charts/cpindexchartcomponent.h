#pragma once

#include "cpindexchartinfo.h"

#include "wk/iwkinterface.h"

#include <QJsonObject>
#include <QWidget>

class QAction;

namespace HXCPControls {

class CPComponentPanel;
class CPIndexChartView;

// The page component that charts index data. Its description (where the
// indices and values come from, which chart types it offers) is fixed per
// class; what it shows is its configuration, stored with the page.
class HXCPCONTROLS_EXPORT CPIndexChartComponent : public QWidget, public IWKMemory, public IWKSkin
{
    Q_OBJECT
    Q_INTERFACES(IWKMemory IWKSkin)
public:
    explicit CPIndexChartComponent(QWidget *parent = nullptr, CPIndexChartInfo info = CPIndexChartInfo());
    ~CPIndexChartComponent() override;

    void initControl();

    void save(QVariantMap &map) override;
    void restore(const QVariantMap &map) override;
    QWidget *widget() override { return this; }
    void loadSkin(const QVariant &skin) override;

    // Takes a configuration edited by the user: the title, the frame and the chart follow.
    void applyConfig(const CPIndexChartConfig &config);

    CPIndexChartConfig config() const { return m_config; }
    CPIndexChartInfo info() const { return m_info; }
    CPIndexChartView *chartView() const { return m_view; }
    CPComponentPanel *panel() const { return m_panel; }
    QAction *settingAction() const { return m_settingAction; }

public slots:
    // Opens the chart settings (Ctrl+P).
    void showSettingDialog();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updatePanel();

    CPIndexChartInfo m_info;
    CPIndexChartConfig m_config;
    CPComponentPanel *m_panel = nullptr;
    CPIndexChartView *m_view = nullptr;
    QAction *m_settingAction = nullptr;
};

// Regional prices on the map of China.
class HXCPCONTROLS_EXPORT CPIndexMapChartComponent : public CPIndexChartComponent
{
    Q_OBJECT
public:
    explicit CPIndexMapChartComponent(QWidget *parent = nullptr);
    static CPIndexChartInfo initIndexChartInfo();
    // The map of China from the host's data folder; empty (and logged) when
    // the file is missing or unreadable.
    static QJsonObject getGeoJson();
};

// Global macro-economic indices.
class HXCPCONTROLS_EXPORT CPGlobalMarcoChartComponent : public CPIndexChartComponent
{
    Q_OBJECT
public:
    explicit CPGlobalMarcoChartComponent(QWidget *parent = nullptr);
    static CPIndexChartInfo initIndexChartInfo();
};

// Chinese macro-economic indices.
class HXCPCONTROLS_EXPORT CPMarcoChartComponent : public CPIndexChartComponent
{
    Q_OBJECT
public:
    explicit CPMarcoChartComponent(QWidget *parent = nullptr);
    static CPIndexChartInfo initIndexChartInfo();
};

// Industry indices.
class HXCPCONTROLS_EXPORT CPMarcoIndustryChartComponent : public CPIndexChartComponent
{
    Q_OBJECT
public:
    explicit CPMarcoIndustryChartComponent(QWidget *parent = nullptr);
    static CPIndexChartInfo initIndexChartInfo();
};

// Platts assessments, from their own index and value objects.
class HXCPCONTROLS_EXPORT CPPlattsChartComponent : public CPIndexChartComponent
{
    Q_OBJECT
public:
    explicit CPPlattsChartComponent(QWidget *parent = nullptr);
    static CPIndexChartInfo initIndexChartInfo();
};

// Futures quotes.
class HXCPCONTROLS_EXPORT CPQuoteIndexChartComponent : public CPIndexChartComponent
{
    Q_OBJECT
public:
    explicit CPQuoteIndexChartComponent(QWidget *parent = nullptr);
    static CPIndexChartInfo initIndexChartInfo();
};

} // namespace HXCPControls
