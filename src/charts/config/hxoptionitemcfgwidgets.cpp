#include "hxoptionitemcfgwidgets.h"

#include "charts/charttypeinfo.h"
#include "charts/hxchartoption.h"

#include "ui_hxlegendcontrols.h"
#include "ui_hxmapcfgwidget.h"
#include "ui_hxpieoptioncfgwidget.h"
#include "ui_hxseriesitemwidget.h"
#include "ui_hxseriesoptioncfgwidget.h"
#include "ui_hxtitleoptionwidget.h"
#include "ui_hxunitcfgwidget.h"
#include "ui_hxxydatacfgwidget.h"

#include <QColorDialog>
#include <QJsonArray>
#include <QVBoxLayout>

namespace HXCPControls {

namespace {

const QString kShowLegend = QStringLiteral("showLegend");
const QString kLegendPosition = QStringLiteral("legendPosition");
const QString kLegendH = QStringLiteral("legendHPosition");
const QString kLegendV = QStringLiteral("legendVPosition");
const QString kIsShowUnit = QStringLiteral("isShowUnit");
const QString kTransposed = QStringLiteral("transposed");

// The series type code "默认": the chart's own type.
constexpr int kDefaultSeriesType = 255;

// A widget made of one Designer form, with no margins of its own.
template <class Form>
void setupForm(QWidget *widget, Form &form)
{
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *content = new QWidget(widget);
    form.setupUi(content);
    layout->addWidget(content);
    // The form's name is the skins' handle for the whole widget.
    widget->setObjectName(content->objectName());
    content->setObjectName(content->objectName() + QStringLiteral("_form"));
}

void showColorOn(QPushButton *button, const QColor &color)
{
    button->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid #8a96a3;").arg(color.name()));
    button->setToolTip(color.name());
}

} // namespace

// ---------------------------------------------------------------------------

HXLegendControls::HXLegendControls(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::HXLegendControls)
{
    ui->setupUi(this);
    fill(QVariantMap());
}

HXLegendControls::~HXLegendControls() = default;

void HXLegendControls::fill(const QVariantMap &entry)
{
    ui->showLegendBtn->setChecked(entry.value(kShowLegend, true).toBool());
    const QString position = entry.value(kLegendPosition).toString();
    (position.isEmpty() || position == QLatin1String("H") ? ui->legendHRBtn : ui->legendVRBtn)->setChecked(true);
    const QString h = entry.value(kLegendH).toString();
    (h.isEmpty() || h == QLatin1String("C") ? ui->legendHCRBtn : h == QLatin1String("L") ? ui->legendHLRBtn : ui->legendHRRBtn)
        ->setChecked(true);
    const QString v = entry.value(kLegendV).toString();
    (v.isEmpty() || v == QLatin1String("T") ? ui->legendVTRBtn : v == QLatin1String("B") ? ui->legendVBRBtn : ui->legendVCRBtn)
        ->setChecked(true);
}

void HXLegendControls::write(QVariantMap &entry) const
{
    entry.insert(kShowLegend, ui->showLegendBtn->isChecked());
    entry.insert(kLegendPosition, ui->legendHRBtn->isChecked() ? QStringLiteral("H") : QStringLiteral("V"));
    entry.insert(kLegendH, ui->legendHLRBtn->isChecked() ? QStringLiteral("L")
                           : ui->legendHCRBtn->isChecked() ? QStringLiteral("C")
                                                           : QStringLiteral("R"));
    entry.insert(kLegendV, ui->legendVTRBtn->isChecked() ? QStringLiteral("T")
                           : ui->legendVCRBtn->isChecked() ? QStringLiteral("C")
                                                           : QStringLiteral("B"));
}

// ---------------------------------------------------------------------------

HXLegendCfgWidget::HXLegendCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
    , m_legend(new HXLegendControls(this))
{
    setObjectName(QStringLiteral("HXCPControls__HXLegendCfgWidget"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_legend);
    watchControls();
}

void HXLegendCfgWidget::setConfig(const QVariantMap &cfg, const QJsonObject &)
{
    filling([&] { m_legend->fill(ownEntry(cfg)); });
}

void HXLegendCfgWidget::writeConfig(QVariantMap &cfg)
{
    QVariantMap entry;
    m_legend->write(entry);
    cfg.insert(entryKey(), entry);
}

// ---------------------------------------------------------------------------

HXTitleOptionWidget::HXTitleOptionWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
    , ui(new Ui::HXTitleOptionWidget)
{
    setupForm(this, *ui);
    m_legend = new HXLegendControls(this);
    ui->legend_slot_layout->addWidget(m_legend);
    ui->centerRBtn->setChecked(true);
    watchControls();
}

HXTitleOptionWidget::~HXTitleOptionWidget() = default;

void HXTitleOptionWidget::setConfig(const QVariantMap &cfg, const QJsonObject &option)
{
    QVariantMap entry = ownEntry(cfg);
    // Without an entry of its own the widget starts from what the shown option has.
    if (!HXChartOption::hasEntry(cfg, "HXTitleOptionWidget")) {
        const QJsonObject title = option.value(QStringLiteral("title")).toObject();
        entry.insert(QStringLiteral("title"), title.value(QStringLiteral("text")).toString());
        entry.insert(QStringLiteral("subtitle"), title.value(QStringLiteral("subtext")).toString());
        const QJsonObject legend = option.value(QStringLiteral("legend")).toObject();
        if (legend.value(QStringLiteral("orient")).toString() == QLatin1String("vertical"))
            entry.insert(kLegendPosition, QStringLiteral("V"));
        const QString y = legend.value(QStringLiteral("y")).toString();
        if (y == QLatin1String("bottom"))
            entry.insert(kLegendV, QStringLiteral("B"));
        else if (y == QLatin1String("center"))
            entry.insert(kLegendV, QStringLiteral("C"));
    }
    filling([&] {
        ui->titleLineEdit->setText(entry.value(QStringLiteral("title")).toString());
        ui->subTitleLineEdit->setText(entry.value(QStringLiteral("subtitle")).toString());
        ui->showTitleBtn->setChecked(entry.value(QStringLiteral("showTitle"), false).toBool());
        const QString position = entry.value(QStringLiteral("position")).toString();
        (position == QLatin1String("left") ? ui->leftRBtn : position == QLatin1String("right") ? ui->rightRBtn : ui->centerRBtn)
            ->setChecked(true);
        m_legend->fill(entry);
    });
}

void HXTitleOptionWidget::writeConfig(QVariantMap &cfg)
{
    QVariantMap entry{{QStringLiteral("title"), ui->titleLineEdit->text()},
                      {QStringLiteral("subtitle"), ui->subTitleLineEdit->text()},
                      {QStringLiteral("showTitle"), ui->showTitleBtn->isChecked()},
                      {QStringLiteral("position"), ui->leftRBtn->isChecked()    ? QStringLiteral("left")
                                                   : ui->rightRBtn->isChecked() ? QStringLiteral("right")
                                                                                : QStringLiteral("center")}};
    m_legend->write(entry);
    cfg.insert(entryKey(), entry);
}

// ---------------------------------------------------------------------------

HXXYDataCfgWidget::HXXYDataCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
    , ui(new Ui::HXXYDataCfgWidget)
{
    setupForm(this, *ui);
    watchControls();
}

HXXYDataCfgWidget::~HXXYDataCfgWidget() = default;

void HXXYDataCfgWidget::setConfig(const QVariantMap &cfg, const QJsonObject &)
{
    const QVariantMap own = ownEntry(cfg);
    const QVariantMap unit = HXChartOption::entry(cfg, "HXUnitCfgWidget");
    // A new chart names its axes and draws the grid lines.
    const bool showUnit = own.contains(kIsShowUnit) ? own.value(kIsShowUnit).toBool() : unit.value(kIsShowUnit, true).toBool();
    filling([&] {
        ui->cbShowUnit->setChecked(showUnit);
        ui->cbShowNetGrid->setChecked(own.value(QStringLiteral("isShowNetGrid"), true).toBool());
    });
}

void HXXYDataCfgWidget::writeConfig(QVariantMap &cfg)
{
    cfg.insert(entryKey(), QVariantMap{{kIsShowUnit, ui->cbShowUnit->isChecked()},
                                       {QStringLiteral("isShowNetGrid"), ui->cbShowNetGrid->isChecked()}});
}

// ---------------------------------------------------------------------------

HXUnitCfgWidget::HXUnitCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
    , ui(new Ui::HXUnitCfgWidget)
{
    setupForm(this, *ui);
    watchControls();
}

HXUnitCfgWidget::~HXUnitCfgWidget() = default;

void HXUnitCfgWidget::setConfig(const QVariantMap &cfg, const QJsonObject &)
{
    filling([&] { ui->showUnitBtn->setChecked(ownEntry(cfg).value(kIsShowUnit, true).toBool()); });
}

void HXUnitCfgWidget::writeConfig(QVariantMap &cfg)
{
    cfg.insert(entryKey(), QVariantMap{{kIsShowUnit, ui->showUnitBtn->isChecked()}});
}

// ---------------------------------------------------------------------------

HXSeriesItemWidget::HXSeriesItemWidget(QWidget *parent, const QString &seriesName)
    : QWidget(parent)
    , ui(new Ui::HXSeriesItemWidget)
    , m_seriesName(seriesName)
    , m_color(QStringLiteral("#7CB5EC"))
{
    setupForm(this, *ui);
    setValue(QVariantMap(), false);
    connect(ui->lineEdit, &QLineEdit::textChanged, this, &HXSeriesItemWidget::seriesChanged);
    connect(ui->typeGroup, QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled), this,
            [this](QAbstractButton *, bool on) {
                if (on)
                    emit seriesChanged();
            });
    connect(ui->customColorCBox, &QCheckBox::toggled, this, &HXSeriesItemWidget::seriesChanged);
    connect(ui->selectColorBtn, &QPushButton::clicked, this, &HXSeriesItemWidget::chooseColor);
    connect(ui->axisGroup, QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled), this,
            [this](QAbstractButton *button, bool on) {
                if (!on)
                    return;
                emit yAxisIndexChanged(button == ui->rightAxisBtn ? 1 : 0);
                emit seriesChanged();
            });
}

HXSeriesItemWidget::~HXSeriesItemWidget() = default;

QVariantMap HXSeriesItemWidget::value() const
{
    const int type = ui->lineBtn->isChecked()   ? int(ChartTypeInfo::Line)
                     : ui->barBtn->isChecked()  ? int(ChartTypeInfo::Bar)
                     : ui->areaBtn->isChecked() ? int(ChartTypeInfo::Area)
                                                : kDefaultSeriesType;
    return {{QStringLiteral("nickName"), ui->lineEdit->text()},
            {QStringLiteral("type"), type},
            {QStringLiteral("color"), ui->customColorCBox->isChecked() ? m_color.name() : QString()},
            // Only a choice of the user's own is stored: the axis that the unit
            // forces is the builder's to give, and follows the units.
            {QStringLiteral("yAxisIndex"), ui->rightAxisBtn->isChecked() && !m_rightByUnit ? 1 : 0}};
}

void HXSeriesItemWidget::setValue(const QVariantMap &value, bool rightByUnit)
{
    m_rightByUnit = rightByUnit;
    const QSignalBlocker block(this);
    const QString nickName = value.value(QStringLiteral("nickName")).toString();
    ui->lineEdit->setText(nickName.isEmpty() ? m_seriesName : nickName);
    const int type = value.value(QStringLiteral("type"), kDefaultSeriesType).toInt();
    (type == ChartTypeInfo::Line   ? ui->lineBtn
     : type == ChartTypeInfo::Bar  ? ui->barBtn
     : type == ChartTypeInfo::Area ? ui->areaBtn
                                   : ui->defaultBtn)
        ->setChecked(true);
    const QColor color(value.value(QStringLiteral("color")).toString());
    ui->customColorCBox->setChecked(color.isValid());
    if (color.isValid())
        m_color = color;
    showColor();
    (rightByUnit || value.value(QStringLiteral("yAxisIndex")).toInt() == 1 ? ui->rightAxisBtn : ui->leftAxisBtn)->setChecked(true);
    ui->leftAxisBtn->setEnabled(!rightByUnit);
    ui->rightAxisBtn->setEnabled(!rightByUnit);
}

void HXSeriesItemWidget::setColor(const QColor &color)
{
    if (!color.isValid())
        return;
    m_color = color;
    showColor();
    if (ui->customColorCBox->isChecked())
        emit seriesChanged();
    else
        ui->customColorCBox->setChecked(true);
}

void HXSeriesItemWidget::chooseColor()
{
    setColor(QColorDialog::getColor(m_color, this, QStringLiteral("请选择颜色")));
}

void HXSeriesItemWidget::showColor()
{
    showColorOn(ui->selectColorBtn, m_color);
}

// ---------------------------------------------------------------------------

HXSeriesOptionCfgWidget::HXSeriesOptionCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
    , ui(new Ui::HXSeriesOptionCfgWidget)
{
    setupForm(this, *ui);
    watchControls();
}

HXSeriesOptionCfgWidget::~HXSeriesOptionCfgWidget() = default;

void HXSeriesOptionCfgWidget::setConfig(const QVariantMap &cfg, const QJsonObject &option)
{
    m_stored = ownEntry(cfg);
    const int type = cfg.value(QStringLiteral("type")).toInt();
    const bool map = type == ChartTypeInfo::Map;
    const bool pie = type == ChartTypeInfo::Pie;
    qDeleteAll(m_items);
    m_items.clear();
    filling([&] {
        ui->showLabelBtn->setVisible(map);
        ui->transposedBtn->setVisible(pie);
        ui->showMaxMinBtn->setVisible(!map && !pie);
        ui->showLabelBtn->setChecked(m_stored.value(QStringLiteral("isShowLabel")).toBool());
        // A pie without a series entry takes its transposition from the pie entry.
        const bool transposed = HXChartOption::hasEntry(cfg, "HXSeriesOptionCfgWidget")
                                    ? m_stored.value(kTransposed).toBool()
                                    : HXChartOption::entry(cfg, "HXPieOptionCfgWidget").value(kTransposed).toBool();
        ui->transposedBtn->setChecked(transposed);
        ui->showMaxMinBtn->setChecked(m_stored.value(QStringLiteral("isShowMaxMin")).toBool());
    });
    if (map || pie)
        return;
    QStringList names;
    const QJsonArray dims =
        option.value(QStringLiteral("dataset")).toArray().first().toObject().value(QStringLiteral("dimensions")).toArray();
    for (int i = 1; i < dims.size(); ++i)
        names.append(dims.at(i).toString());
    const QList<bool> right = HXChartOption::rightAxisByUnit(names, cfg.value(QStringLiteral("units")).toMap());
    // Stacked, horizontal, K-line and section charts draw every series alike:
    // their rows are shown but cannot be changed.
    const bool ownStyle = type == ChartTypeInfo::Line || type == ChartTypeInfo::Bar || type == ChartTypeInfo::Area
                          || type == ChartTypeInfo::Scatter;
    for (int i = 0; i < names.size(); ++i) {
        auto *item = new HXSeriesItemWidget(this, names.at(i));
        item->setValue(m_stored.value(names.at(i)).toMap(), right.at(i));
        item->setEnabled(ownStyle);
        connect(item, &HXSeriesItemWidget::seriesChanged, this, &HXOptionItemCfgBaseWidget::changeConfig);
        ui->series_layout->addWidget(item);
        m_items.append(item);
    }
}

void HXSeriesOptionCfgWidget::writeConfig(QVariantMap &cfg)
{
    QVariantMap entry = m_stored;
    entry.insert(QStringLiteral("isShowLabel"), ui->showLabelBtn->isChecked());
    entry.insert(kTransposed, ui->transposedBtn->isChecked());
    entry.insert(QStringLiteral("isShowMaxMin"), ui->showMaxMinBtn->isChecked());
    for (const HXSeriesItemWidget *item : qAsConst(m_items))
        entry.insert(item->seriesName(), item->value());
    m_stored = entry;
    cfg.insert(entryKey(), entry);
}

// ---------------------------------------------------------------------------

HXMapCfgWidget::HXMapCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
    , ui(new Ui::HXMapCfgWidget)
{
    setupForm(this, *ui);
    m_colors = {QColor(QStringLiteral("#87CEFA")), QColor(QStringLiteral("#FFF200")), QColor(QStringLiteral("#FF4500"))};
    showColors();
    const QList<QPushButton *> buttons{ui->color_btn_1, ui->color_btn_2, ui->color_btn_3};
    for (int i = 0; i < buttons.size(); ++i) {
        connect(buttons[i], &QPushButton::clicked, this, [this, i] {
            setColor(i, QColorDialog::getColor(m_colors.value(i), this, QStringLiteral("请选择颜色")));
        });
    }
    watchControls();
}

HXMapCfgWidget::~HXMapCfgWidget() = default;

void HXMapCfgWidget::setConfig(const QVariantMap &cfg, const QJsonObject &)
{
    const QVariantMap own = ownEntry(cfg);
    for (int i = 0; i < 3; ++i) {
        const QColor color(own.value(QStringLiteral("color%1").arg(i + 1)).toString());
        if (color.isValid())
            m_colors[i] = color;
    }
    filling([&] {
        ui->cusutom_color_btn->setChecked(own.value(QStringLiteral("isCustomColor")).toBool());
        showColors();
    });
}

void HXMapCfgWidget::writeConfig(QVariantMap &cfg)
{
    cfg.insert(entryKey(), QVariantMap{{QStringLiteral("isCustomColor"), ui->cusutom_color_btn->isChecked()},
                                       {QStringLiteral("color1"), m_colors[0].name()},
                                       {QStringLiteral("color2"), m_colors[1].name()},
                                       {QStringLiteral("color3"), m_colors[2].name()}});
}

void HXMapCfgWidget::setColor(int i, const QColor &color)
{
    if (i < 0 || i >= m_colors.size() || !color.isValid())
        return;
    m_colors[i] = color;
    showColors();
    if (ui->cusutom_color_btn->isChecked())
        changeConfig();
    else
        ui->cusutom_color_btn->setChecked(true);
}

void HXMapCfgWidget::showColors()
{
    showColorOn(ui->color_btn_1, m_colors[0]);
    showColorOn(ui->color_btn_2, m_colors[1]);
    showColorOn(ui->color_btn_3, m_colors[2]);
}

// ---------------------------------------------------------------------------

HXPieOptionCfgWidget::HXPieOptionCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
    , ui(new Ui::HXPieOptionCfgWidget)
{
    setupForm(this, *ui);
    watchControls();
}

HXPieOptionCfgWidget::~HXPieOptionCfgWidget() = default;

void HXPieOptionCfgWidget::setConfig(const QVariantMap &cfg, const QJsonObject &)
{
    filling([&] { ui->transposedBtn->setChecked(ownEntry(cfg).value(kTransposed).toBool()); });
}

void HXPieOptionCfgWidget::writeConfig(QVariantMap &cfg)
{
    cfg.insert(entryKey(), QVariantMap{{kTransposed, ui->transposedBtn->isChecked()}});
}

// ---------------------------------------------------------------------------

HXToolTipCfgWidget::HXToolTipCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
{
    setObjectName(QStringLiteral("HXCPControls__HXToolTipCfgWidget"));
}

HXToolBoxCfgWidget::HXToolBoxCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
{
}

HXGridCfgWidget::HXGridCfgWidget(QWidget *parent)
    : HXOptionItemCfgBaseWidget(parent)
{
}

} // namespace HXCPControls
