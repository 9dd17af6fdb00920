#include "cpindexdetailoptionview.h"

#include "editor/buttonhoverwatcher.h"
#include "editor/skinimagepath.h"
#include "wk/wkappconfig.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QVariant>

namespace HXCPControls {

namespace {

struct ButtonDef
{
    const char *task;
    const char *text;
    enum Kind { Toggle, Dialog, ChartType, Action, TextAction } kind;
};

// In the order they stand, left to right.
const ButtonDef kChartButtons[] = {
    {"d_seasonal_form", "季节型", ButtonDef::Toggle},
    {"d_title", "标题", ButtonDef::Dialog},
    {"d_legend", "图例", ButtonDef::Toggle},
    {"d_horizontal_net", "水平网络线", ButtonDef::Toggle},
    {"d_biaxial_setting", "双轴设置", ButtonDef::Dialog},
    {"d_range", "最大最小值图", ButtonDef::Toggle},
    {"d_scatter", "散点图", ButtonDef::ChartType},
    {"d_pie", "饼图", ButtonDef::ChartType},
    {"d_horizontal_stacked_bar", "堆积图", ButtonDef::ChartType},
    {"d_horizontal_bar", "横柱图", ButtonDef::ChartType},
    {"d_stacked_bar", "堆积图", ButtonDef::ChartType},
    {"d_bar", "单柱图", ButtonDef::ChartType},
    {"d_kline", "K线图", ButtonDef::ChartType},
    {"d_area", "面积图", ButtonDef::ChartType},
    {"d_line", "折线图", ButtonDef::ChartType},
    {"d_chart_restore", "还原", ButtonDef::Action},
    {"d_down_chart", " 下载图形", ButtonDef::TextAction},
    {"d_show_data", " 显示数据", ButtonDef::TextAction},
    {"d_compare_btn", " 数据比对", ButtonDef::TextAction},
};

QHBoxLayout *barLayout(QWidget *bar)
{
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(1);
    return layout;
}

} // namespace

QToolButton *makeDetailToolButton(QWidget *parent, QHBoxLayout *layout, const QString &task, const QString &text,
                                  bool textBesideIcon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(task);
    button->setToolTip(text.trimmed());
    button->setText(text);
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoRaise(true);
    button->setIcon(QIcon(skinImagePath(QStringLiteral("custompage/%1.png").arg(task))));
    button->setIconSize(QSize(18, 18));
    button->setToolButtonStyle(textBesideIcon ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    button->setProperty("selected", false);
    // Buttons with a text keep it whole however narrow the bar gets.
    if (textBesideIcon)
        button->setMinimumWidth(button->sizeHint().width());
    button->installEventFilter(new ButtonHoverWatcher(button, QStringLiteral("custompage/%1.png").arg(task),
                                                      QStringLiteral("custompage/%1_hover.png").arg(task)));
    layout->addWidget(button);
    return button;
}

void setDetailButtonSelected(QToolButton *button, bool selected)
{
    if (!button)
        return;
    const QString task = button->objectName();
    button->setProperty("selected", selected);
    button->setIcon(QIcon(skinImagePath(selected ? QStringLiteral("custompage/%1_hover.png").arg(task)
                                                 : QStringLiteral("custompage/%1.png").arg(task))));
    if (button->isCheckable())
        button->setChecked(selected);
    button->style()->unpolish(button);
    button->style()->polish(button);
}

CPIndexDetailChartOptionView::CPIndexDetailChartOptionView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CPIndexDetailChartOptionView"));
    QHBoxLayout *layout = barLayout(this);
    for (const ButtonDef &def : kChartButtons) {
        const QString task = QLatin1String(def.task);
        if (def.kind == ButtonDef::TextAction && !m_buttons.contains(QStringLiteral("d_down_chart")))
            layout->addStretch(1);
        QToolButton *button = makeDetailToolButton(this, layout, task, QString::fromUtf8(def.text),
                                                   def.kind == ButtonDef::TextAction);
        button->setCheckable(def.kind == ButtonDef::Toggle);
        m_buttons.insert(task, button);
        const bool isChart = def.kind == ButtonDef::ChartType;
        connect(button, &QToolButton::clicked, this, [this, button, task, isChart](bool checked) {
            const bool selected = button->isCheckable() ? checked : true;
            emit exec(task, selected, isChart);
            emit exec(task, selected);
        });
    }
}

void CPIndexDetailChartOptionView::mirror(const CPDetailChartOptions &options, bool isSeason)
{
    setDetailButtonSelected(m_buttons.value(QStringLiteral("d_legend")), options.showLegend);
    setDetailButtonSelected(m_buttons.value(QStringLiteral("d_range")), options.showMarks);
    setDetailButtonSelected(m_buttons.value(QStringLiteral("d_horizontal_net")), options.showGridLines);
    setDetailButtonSelected(m_buttons.value(QStringLiteral("d_seasonal_form")), isSeason);
    const QString chosen = CPDetailChartOptions::taskOfChartType(options.chartType);
    for (const ButtonDef &def : kChartButtons) {
        if (def.kind == ButtonDef::ChartType)
            setDetailButtonSelected(m_buttons.value(QLatin1String(def.task)), chosen == QLatin1String(def.task));
    }
    m_buttons.value(QStringLiteral("d_seasonal_form"))->setVisible(options.seasonAvailable);
    for (const char *task : {"d_pie", "d_kline", "d_biaxial_setting"})
        m_buttons.value(QLatin1String(task))->setVisible(!isSeason);
}

CPIndexDetailDataOptionView::CPIndexDetailDataOptionView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CPIndexDetailDataOptionView"));
    QHBoxLayout *layout = barLayout(this);
    layout->addStretch(1);
    const bool allowed = WKAppConfig::instance()->canExport(QStringLiteral("IDX_DATA_EXPORT"));
    const std::pair<const char *, const char *> defs[] = {{"d_down_data", " 下载数据"}, {"d_show_chart", " 显示图形"}};
    for (const auto &def : defs) {
        const QString task = QLatin1String(def.first);
        QToolButton *button = makeDetailToolButton(this, layout, task, QString::fromUtf8(def.second), true);
        button->setEnabled(allowed);
        m_buttons.insert(task, button);
        connect(button, &QToolButton::clicked, this, [this, task] { emit exec(task); });
    }
}

} // namespace HXCPControls
