#pragma once

#include "hxoptionitemcfgbasewidget.h"

#include <QColor>
#include <QList>

#include <memory>

namespace Ui {
class HXLegendControls;
class HXTitleOptionWidget;
class HXXYDataCfgWidget;
class HXUnitCfgWidget;
class HXSeriesOptionCfgWidget;
class HXSeriesItemWidget;
class HXMapCfgWidget;
class HXPieOptionCfgWidget;
} // namespace Ui

class QPushButton;

namespace HXCPControls {

// The legend controls shared by the legend and the title widgets.
class HXLegendControls : public QWidget
{
    Q_OBJECT
public:
    explicit HXLegendControls(QWidget *parent = nullptr);
    ~HXLegendControls() override;

    void fill(const QVariantMap &entry);
    // Writes "showLegend", "legendPosition", "legendHPosition" and "legendVPosition".
    void write(QVariantMap &entry) const;

private:
    std::unique_ptr<Ui::HXLegendControls> ui;
};

// Whether and where the legend is shown.
class HXCPCONTROLS_EXPORT HXLegendCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXLegendCfgWidget(QWidget *parent = nullptr);

    void setConfig(const QVariantMap &cfg, const QJsonObject &option) override;
    void writeConfig(QVariantMap &cfg) override;

private:
    HXLegendControls *m_legend;
};

// The chart's own title (the frame shows the component's title) and the legend.
class HXCPCONTROLS_EXPORT HXTitleOptionWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXTitleOptionWidget(QWidget *parent = nullptr);
    ~HXTitleOptionWidget() override;

    void setConfig(const QVariantMap &cfg, const QJsonObject &option) override;
    void writeConfig(QVariantMap &cfg) override;

private:
    std::unique_ptr<Ui::HXTitleOptionWidget> ui;
    HXLegendControls *m_legend;
};

// Unit names on the value axes and the grid lines.
class HXCPCONTROLS_EXPORT HXXYDataCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXXYDataCfgWidget(QWidget *parent = nullptr);
    ~HXXYDataCfgWidget() override;

    void setConfig(const QVariantMap &cfg, const QJsonObject &option) override;
    void writeConfig(QVariantMap &cfg) override;

private:
    std::unique_ptr<Ui::HXXYDataCfgWidget> ui;
};

// Unit names on the value axes (read by the axis builder).
class HXCPCONTROLS_EXPORT HXUnitCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXUnitCfgWidget(QWidget *parent = nullptr);
    ~HXUnitCfgWidget() override;

    void setConfig(const QVariantMap &cfg, const QJsonObject &option) override;
    void writeConfig(QVariantMap &cfg) override;

private:
    std::unique_ptr<Ui::HXUnitCfgWidget> ui;
};

// The settings of one series: shown name, own chart type, colour and axis.
class HXCPCONTROLS_EXPORT HXSeriesItemWidget : public QWidget
{
    Q_OBJECT
public:
    HXSeriesItemWidget(QWidget *parent, const QString &seriesName);
    ~HXSeriesItemWidget() override;

    QString seriesName() const { return m_seriesName; }
    // {"nickName", "type" (1, 2, 4 or 255 for the chart's own), "color", "yAxisIndex"}.
    QVariantMap value() const;
    // `rightByUnit`: the series' unit sends it to the right axis whatever its
    // entry says; the axis is then shown and not offered.
    void setValue(const QVariantMap &value, bool rightByUnit);
    void setColor(const QColor &color);

signals:
    void seriesChanged();
    void yAxisIndexChanged(int yAxisIndex);

private:
    void chooseColor();
    void showColor();

    std::unique_ptr<Ui::HXSeriesItemWidget> ui;
    QString m_seriesName;
    QColor m_color;
    bool m_rightByUnit = false;
};

// Series settings: labels of a map, transposition of a pie, marks of the
// extremes and one row per series of other charts.
class HXCPCONTROLS_EXPORT HXSeriesOptionCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXSeriesOptionCfgWidget(QWidget *parent = nullptr);
    ~HXSeriesOptionCfgWidget() override;

    void setConfig(const QVariantMap &cfg, const QJsonObject &option) override;
    void writeConfig(QVariantMap &cfg) override;

    QList<HXSeriesItemWidget *> seriesWidgets() const { return m_items; }

private:
    std::unique_ptr<Ui::HXSeriesOptionCfgWidget> ui;
    QList<HXSeriesItemWidget *> m_items;
    QVariantMap m_stored; // entries of series not shown now are kept
};

// The colours of a map's value range.
class HXCPCONTROLS_EXPORT HXMapCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXMapCfgWidget(QWidget *parent = nullptr);
    ~HXMapCfgWidget() override;

    void setConfig(const QVariantMap &cfg, const QJsonObject &option) override;
    void writeConfig(QVariantMap &cfg) override;

    QColor color(int i) const { return m_colors.value(i); }
    void setColor(int i, const QColor &color);

private:
    void showColors();

    std::unique_ptr<Ui::HXMapCfgWidget> ui;
    QList<QColor> m_colors;
};

// Whether a pie shows one slice per series (transposed) or per row.
class HXCPCONTROLS_EXPORT HXPieOptionCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXPieOptionCfgWidget(QWidget *parent = nullptr);
    ~HXPieOptionCfgWidget() override;

    void setConfig(const QVariantMap &cfg, const QJsonObject &option) override;
    void writeConfig(QVariantMap &cfg) override;

private:
    std::unique_ptr<Ui::HXPieOptionCfgWidget> ui;
};

// The tooltip, the toolbox and the grid have nothing to set: their builders
// read the chart type and the legend.
class HXCPCONTROLS_EXPORT HXToolTipCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXToolTipCfgWidget(QWidget *parent = nullptr);
};

class HXCPCONTROLS_EXPORT HXToolBoxCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXToolBoxCfgWidget(QWidget *parent = nullptr);
};

class HXCPCONTROLS_EXPORT HXGridCfgWidget : public HXOptionItemCfgBaseWidget
{
    Q_OBJECT
public:
    explicit HXGridCfgWidget(QWidget *parent = nullptr);
};

} // namespace HXCPControls
