#pragma once

#include "charts/charttypeinfo.h"
#include "editor/cpbasewidget.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QVariantMap>

#include <memory>

namespace Ui {
class HXChartConfigControl;
}
class QButtonGroup;
class QToolButton;

namespace HXEcharts {
class HXEChartsView;
}

namespace HXCPControls {

class HXOptionItemCfgBaseWidget;
class HXPieChartFilterWidget;

// The chart half of the chart settings: the chart type buttons, the live
// preview, the query (the latest n years, months or quarters, a start date,
// or a range of years in the seasonal form) and the option item widgets of
// the current chart type.
class HXCPCONTROLS_EXPORT HXChartConfigControl : public CPBaseWidget
{
    Q_OBJECT
public:
    HXChartConfigControl(QWidget *parent, QList<ChartTypeInfo> chartTypes, QMap<int, QStringList> shortLists,
                         QMap<int, QStringList> fullLists, QJsonArray geoJson);
    ~HXChartConfigControl() override;

    // Shows a stored form: its type (the first offered type when it offers
    // no such type), query and option configuration.
    void setConfig(int type, bool isSeason, const QVariantMap &query, const QVariantMap &optionCfg);
    // {"type", "optionCfg", "query"} of the form shown.
    QVariantMap config() const;
    // Puts a freshly built dataset into the preview and redraws it.
    void showData(const QJsonArray &dimensions, const QJsonArray &source, const QVariantMap &units);

    // A chart that shows the latest values only (the map) offers no period.
    void setPeriodEnabled(bool enabled);
    // The query that the query widgets give in the form shown.
    QVariantMap query() const;
    bool isSeason() const { return m_isSeason; }
    ChartTypeInfo chartType() const { return m_chartType; }
    QVariantMap optionCfg() const { return m_optionCfg; }
    QJsonObject previewOption() const { return m_previewOption; }
    HXEcharts::HXEChartsView *chartView() const { return m_view; }
    QList<HXOptionItemCfgBaseWidget *> itemWidgets() const { return m_itemWidgets; }
    HXPieChartFilterWidget *filterWidget() const { return m_filterWidget; }
    QToolButton *typeButton(const QString &key) const;

signals:
    void queryChanged(QVariantMap query);
    void seasonChanged(bool isSeason);

private slots:
    void chartChanged(HXCPControls::ChartTypeInfo chartTypeInfo);
    void refreshChart(HXCPControls::HXOptionItemCfgBaseWidget *cfgWidget, QByteArray cfgName);

private:
    void buildTypeButtons();
    void updateTypeButtons();
    void restore();
    void redraw();
    void showQuery(const QVariantMap &query);
    void setSeason(bool isSeason);
    ChartTypeInfo offeredType(int type) const;

    std::unique_ptr<Ui::HXChartConfigControl> ui;
    QList<ChartTypeInfo> m_chartTypes;
    QMap<int, QStringList> m_shortLists;
    QMap<int, QStringList> m_fullLists;
    ChartTypeInfo m_chartType;
    QVariantMap m_optionCfg;
    QJsonObject m_previewOption;
    HXEcharts::HXEChartsView *m_view;
    QList<HXOptionItemCfgBaseWidget *> m_itemWidgets;
    HXPieChartFilterWidget *m_filterWidget = nullptr;
    QHash<QToolButton *, ChartTypeInfo> m_typeButtons;
    QToolButton *m_seasonButton = nullptr;
    QButtonGroup *m_queryGroup;
    QString m_lastLatest = QStringLiteral("2");
    bool m_isSeason = false;
};

} // namespace HXCPControls
