#include "hxchartconfigcontrol.h"

#include "hxoptionitemcfgbasewidget.h"
#include "ui_hxchartconfigcontrol.h"

#include "charts/hxchartoption.h"
#include "charts/hxoptionfilterbasewidget.h"
#include "charts/hxoptionitemregistry.h"
#include "common/logging.h"
#include "hxecharts/hxechartsview.h"

#include <QButtonGroup>
#include <QIntValidator>
#include <QStyle>
#include <QToolButton>

namespace HXCPControls {

namespace {

const QString kType = QStringLiteral("type");
const QString kUnits = QStringLiteral("units");
const QString kDataset = QStringLiteral("dataset");
const QStringList kUnitNames{QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("季度")};
constexpr int kFirstYear = 1940;

void setSelected(QWidget *button, bool selected)
{
    button->setProperty("selected", selected);
    button->style()->unpolish(button);
    button->style()->polish(button);
}

QToolButton *typeButtonFor(QWidget *parent, const QString &objectName, const QString &text)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setToolTip(text);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setProperty("selected", false);
    return button;
}

} // namespace

HXChartConfigControl::HXChartConfigControl(QWidget *parent, QList<ChartTypeInfo> chartTypes, QMap<int, QStringList> shortLists,
                                           QMap<int, QStringList> fullLists, QJsonArray geoJson)
    : CPBaseWidget(parent, true, QStringLiteral("controls/custompage-chart.css"))
    , ui(new Ui::HXChartConfigControl)
    , m_chartTypes(std::move(chartTypes))
    , m_shortLists(std::move(shortLists))
    , m_fullLists(std::move(fullLists))
{
    registerChartMetaTypes();
    ui->setupUi(this);
    m_chartType = offeredType(0);
    m_optionCfg.insert(kType, m_chartType.type);

    m_view = new HXEcharts::HXEChartsView(this, QJsonArray());
    m_view->setContainerObjectName(QStringLiteral("HXCPControls::HXChartConfigControl"));
    m_view->setStandalone(true);
    if (!geoJson.isEmpty())
        m_view->setGeoJson(geoJson);
    ui->chart_layout->addWidget(m_view, 1);
    buildTypeButtons();

    m_queryGroup = new QButtonGroup(this);
    m_queryGroup->setExclusive(true);
    m_queryGroup->addButton(ui->latestBtn);
    m_queryGroup->addButton(ui->fromStartBtn);
    ui->latestBtn->setChecked(true);
    ui->latestLineEdit->setValidator(new QIntValidator(1, 100, ui->latestLineEdit));
    ui->latestLineEdit->setText(m_lastLatest);
    connect(ui->latestLineEdit, &QLineEdit::textChanged, this, [this](QString text) {
        int pos = 0;
        if (ui->latestLineEdit->validator()->validate(text, pos) == QValidator::Acceptable)
            m_lastLatest = text;
    });
    ui->comboBox->addItems(kUnitNames);
    ui->startDateEdit->setCalendarPopup(true);
    ui->startDateEdit->setDate(QDate::currentDate().addYears(-1));
    const int thisYear = QDate::currentDate().year();
    for (int year = kFirstYear; year <= thisYear; ++year) {
        ui->startComboBox->addItem(QString::number(year));
        ui->endComboBox->addItem(QString::number(year));
    }
    ui->startComboBox->setEditable(false);
    ui->endComboBox->setEditable(false);
    ui->startComboBox->setCurrentText(QString::number(thisYear - 4));
    ui->endComboBox->setCurrentText(QString::number(thisYear));
    // A range of years never runs backwards: moving one end past the other moves both.
    connect(ui->startComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (ui->endComboBox->currentIndex() < index)
            ui->endComboBox->setCurrentIndex(index);
    });
    connect(ui->endComboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (ui->startComboBox->currentIndex() > index)
            ui->startComboBox->setCurrentIndex(index);
    });
    connect(ui->refresh_btn, &QPushButton::clicked, this, [this] { emit queryChanged(query()); });
    setSeason(false);
}

HXChartConfigControl::~HXChartConfigControl() = default;

ChartTypeInfo HXChartConfigControl::offeredType(int type) const
{
    for (const ChartTypeInfo &offered : m_chartTypes) {
        if (offered.type == type)
            return offered;
    }
    return m_chartTypes.isEmpty() ? ChartTypeInfo::fromType(type) : m_chartTypes.first();
}

void HXChartConfigControl::buildTypeButtons()
{
    auto *layout = ui->chart_type_btton_layout;
    auto *restoreButton = typeButtonFor(ui->frameChartTypeButton, QStringLiteral("d_chart_restore"), QStringLiteral("还原"));
    connect(restoreButton, &QToolButton::clicked, this, &HXChartConfigControl::restore);
    layout->addWidget(restoreButton);
    if (m_chartTypes.size() >= 2) {
        for (const ChartTypeInfo &type : qAsConst(m_chartTypes)) {
            // Two types share the name "堆积图"; the horizontal one says so on its face.
            QToolButton *button = typeButtonFor(ui->frameChartTypeButton, type.key,
                                                type.isHorizontalStackedBar ? QStringLiteral("横向堆积图") : type.name);
            button->setToolTip(type.name);
            m_typeButtons.insert(button, type);
            connect(button, &QToolButton::clicked, this, [this, type] {
                QMetaObject::invokeMethod(this, "chartChanged", Q_ARG(HXCPControls::ChartTypeInfo, type));
            });
            layout->addWidget(button);
        }
    }
    m_seasonButton = typeButtonFor(ui->frameChartTypeButton, QStringLiteral("d_seasonal_form"), QStringLiteral("季节型"));
    connect(m_seasonButton, &QToolButton::clicked, this, [this] {
        const bool next = !m_seasonButton->property("selected").toBool();
        setSelected(m_seasonButton, next);
        emit seasonChanged(next);
        // Without a panel that switches the form, the control switches its query itself.
        if (m_isSeason != next)
            setSeason(next);
    });
    layout->addWidget(m_seasonButton);
    layout->addStretch(1);
    updateTypeButtons();
}

QToolButton *HXChartConfigControl::typeButton(const QString &key) const
{
    return ui->frameChartTypeButton->findChild<QToolButton *>(key);
}

void HXChartConfigControl::updateTypeButtons()
{
    for (auto it = m_typeButtons.begin(); it != m_typeButtons.end(); ++it)
        setSelected(it.key(), it.value().type == m_chartType.type);
}

void HXChartConfigControl::setSeason(bool isSeason)
{
    m_isSeason = isSeason;
    ui->commonQueryWidget->setVisible(!isSeason);
    ui->seasonQueryWidget->setVisible(isSeason);
    if (m_seasonButton->property("selected").toBool() != isSeason)
        setSelected(m_seasonButton, isSeason);
}

void HXChartConfigControl::showQuery(const QVariantMap &query)
{
    if (m_isSeason) {
        const int start = ui->startComboBox->findText(query.value(QStringLiteral("seasonStart")).toString());
        const int end = ui->endComboBox->findText(query.value(QStringLiteral("seasonEnd")).toString());
        const int thisYear = QDate::currentDate().year();
        ui->endComboBox->setCurrentIndex(end >= 0 ? end : ui->endComboBox->findText(QString::number(thisYear)));
        ui->startComboBox->setCurrentIndex(start >= 0 ? start : ui->startComboBox->findText(QString::number(thisYear - 4)));
        return;
    }
    const bool latest = query.value(QStringLiteral("isLatestDate"), true).toBool();
    (latest ? ui->latestBtn : ui->fromStartBtn)->setChecked(true);
    const QString date = query.value(QStringLiteral("date")).toString();
    if (latest) {
        const int count = date.toInt();
        ui->latestLineEdit->setText(count >= 1 && count <= 100 ? QString::number(count) : QStringLiteral("2"));
        const int unit = query.value(QStringLiteral("unit"), 1).toInt();
        ui->comboBox->setCurrentIndex(unit == 1 ? 0 : unit == 2 ? 1 : 2);
    } else {
        const QDate start = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
        if (start.isValid())
            ui->startDateEdit->setDate(start);
    }
}

void HXChartConfigControl::setPeriodEnabled(bool enabled)
{
    ui->commonQueryWidget->setEnabled(enabled);
}

QVariantMap HXChartConfigControl::query() const
{
    if (m_isSeason)
        return {{QStringLiteral("seasonStart"), ui->startComboBox->currentText()},
                {QStringLiteral("seasonEnd"), ui->endComboBox->currentText()}};
    if (ui->latestBtn->isChecked()) {
        QString text = ui->latestLineEdit->text();
        int pos = 0;
        if (ui->latestLineEdit->validator()->validate(text, pos) != QValidator::Acceptable)
            text = m_lastLatest;
        return {{QStringLiteral("isLatestDate"), true},
                {QStringLiteral("date"), text},
                {QStringLiteral("unit"), ui->comboBox->currentIndex() + 1}};
    }
    return {{QStringLiteral("isLatestDate"), false},
            {QStringLiteral("date"), ui->startDateEdit->date().toString(QStringLiteral("yyyy-MM-dd"))}};
}

void HXChartConfigControl::setConfig(int type, bool isSeason, const QVariantMap &query, const QVariantMap &optionCfg)
{
    delete m_filterWidget;
    m_filterWidget = nullptr;
    qDeleteAll(m_itemWidgets);
    m_itemWidgets.clear();
    m_previewOption = QJsonObject();
    m_optionCfg = optionCfg;
    m_chartType = offeredType(type);
    m_optionCfg.insert(kType, m_chartType.type);
    updateTypeButtons();
    setSeason(isSeason);
    showQuery(query);
}

QVariantMap HXChartConfigControl::config() const
{
    return {{kType, m_chartType.type}, {QStringLiteral("optionCfg"), m_optionCfg}, {QStringLiteral("query"), query()}};
}

void HXChartConfigControl::showData(const QJsonArray &dimensions, const QJsonArray &source, const QVariantMap &units)
{
    m_optionCfg.insert(kUnits, units);
    m_previewOption.insert(kDataset, QJsonArray{QJsonObject{{QStringLiteral("source"), source}, {QStringLiteral("dimensions"), dimensions}}});
    // The widgets follow the new series (the series rows, the filter's columns).
    chartChanged(m_chartType);
}

void HXChartConfigControl::chartChanged(ChartTypeInfo chartTypeInfo)
{
    const bool filtered = chartTypeInfo.isPie || chartTypeInfo.isSection;
    if (m_filterWidget && (filtered || m_chartType.isPie || m_chartType.isSection)) {
        ui->chart_layout->removeWidget(m_filterWidget);
        delete m_filterWidget;
        m_filterWidget = nullptr;
    }
    m_chartType = chartTypeInfo;
    m_optionCfg.insert(kType, chartTypeInfo.type);
    updateTypeButtons();
    if (!m_previewOption.contains(kDataset))
        return;

    qDeleteAll(m_itemWidgets);
    m_itemWidgets.clear();
    // Each build starts from the queried dataset alone, without the
    // transposed one that a pie or section chart appended.
    const QJsonArray datasets = m_previewOption.value(kDataset).toArray();
    m_previewOption = QJsonObject{{kDataset, QJsonArray{datasets.first()}}};
    for (const QString &name : m_shortLists.value(chartTypeInfo.type)) {
        QWidget *created = HXOptionItemRegistry::instance()->create(name.toLatin1(), nullptr);
        auto *widget = qobject_cast<HXOptionItemCfgBaseWidget *>(created);
        if (!widget) {
            qCWarning(lcCharts).noquote() << "no option item widget" << name;
            delete created;
            continue;
        }
        const QByteArray cfgName = name.toLatin1();
        connect(widget, &HXOptionItemCfgBaseWidget::configChanged, this, [this, widget, cfgName] {
            QMetaObject::invokeMethod(this, "refreshChart", Q_ARG(HXCPControls::HXOptionItemCfgBaseWidget *, widget),
                                      Q_ARG(QByteArray, cfgName));
        });
        ui->scroll_area_layout->addWidget(widget);
        widget->setConfig(m_optionCfg, m_previewOption);
        m_itemWidgets.append(widget);
    }
    if (filtered) {
        m_filterWidget = new HXPieChartFilterWidget(ui->groupBox);
        ui->chart_layout->insertWidget(0, m_filterWidget);
        connect(m_filterWidget, &HXOptionFilterBaseWidget::configChanged, this,
                [this] { m_view->addCharts(m_filterWidget->filter(m_previewOption), true); });
    }
    for (HXOptionItemCfgBaseWidget *widget : qAsConst(m_itemWidgets))
        widget->writeConfig(m_optionCfg);
    redraw();
}

void HXChartConfigControl::refreshChart(HXOptionItemCfgBaseWidget *cfgWidget, QByteArray cfgName)
{
    if (!m_itemWidgets.contains(cfgWidget)) {
        qCWarning(lcCharts).noquote() << "option item widget" << cfgName << "is not shown";
        return;
    }
    cfgWidget->writeConfig(m_optionCfg);
    const QJsonArray datasets = m_previewOption.value(kDataset).toArray();
    m_previewOption = QJsonObject{{kDataset, QJsonArray{datasets.first()}}};
    redraw();
}

void HXChartConfigControl::redraw()
{
    m_previewOption = HXChartOption::makeOption(m_chartType, m_fullLists, m_optionCfg, m_filterWidget, m_previewOption);
    HXChartOption::showOption(m_view, m_chartType, m_previewOption);
}

void HXChartConfigControl::restore()
{
    const QVariant units = m_optionCfg.value(kUnits);
    m_optionCfg.clear();
    if (units.isValid())
        m_optionCfg.insert(kUnits, units);
    QMetaObject::invokeMethod(this, "chartChanged", Q_ARG(HXCPControls::ChartTypeInfo, m_chartType));
}

} // namespace HXCPControls
