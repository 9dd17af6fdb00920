#include "cpindexchartcomponent.h"

#include "cpindexchartview.h"

#include "common/logging.h"
#include "config/hxchartconfigwidget.h"
#include "editor/cpbasedialog.h"
#include "editor/cpcomponentpanel.h"
#include "hxecharts/hxechartsview.h"
#include "wk/wkcfg.h"
#include "wk/wkcore.h"

#include <QAction>
#include <QFile>
#include <QJsonDocument>
#include <QPainter>
#include <QStyleOption>

namespace HXCPControls {

CPIndexChartComponent::CPIndexChartComponent(QWidget *parent, CPIndexChartInfo info)
    : QWidget(parent)
    , m_info(std::move(info))
{
    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage-chart.css"));
    m_info.fillDefaults();
    initControl();
}

CPIndexChartComponent::~CPIndexChartComponent() = default;

void CPIndexChartComponent::initControl()
{
    m_view = new CPIndexChartView(this, m_info);
    m_panel = CPComponentPanel::fill(this, m_view);

    m_settingAction = CPComponentPanel::addSettingAction(this);
    connect(m_settingAction, &QAction::triggered, this, &CPIndexChartComponent::showSettingDialog);
}

void CPIndexChartComponent::showSettingDialog()
{
    auto *panel = new HXChartConfigWidget(this, m_info);
    panel->setConfig(m_config);
    CPBaseDialog dialog(this, QStringLiteral("   指标图形设置"), panel, QStringLiteral("controls/custompage-chart.css"));
    dialog.setMinimumSize(1000, 750);
    dialog.setSizeGripEnabled(true);
    dialog.setModal(true);
    if (dialog.exec() == QDialog::Accepted)
        applyConfig(panel->config());
}

void CPIndexChartComponent::applyConfig(const CPIndexChartConfig &config)
{
    m_config = config;
    emit windowTitleChanged(m_config.title);
    updatePanel();
    // A chart left without indices shows nothing rather than its last drawing.
    if (m_config.indexes.isEmpty())
        m_view->chartsView()->resetWebView(true);
    m_view->setConfig(m_config);
}

void CPIndexChartComponent::updatePanel()
{
    m_panel->setTitleBar(m_config.isShowTitle, m_config.title);
}

void CPIndexChartComponent::save(QVariantMap &map)
{
    const QVariantMap stored = m_config.toMap();
    for (auto it = stored.begin(); it != stored.end(); ++it)
        map.insert(it.key(), it.value());
}

void CPIndexChartComponent::restore(const QVariantMap &map)
{
    m_config = CPIndexChartConfig::fromMap(map);
    updatePanel();
    m_view->setConfig(m_config);
}

void CPIndexChartComponent::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void CPIndexChartComponent::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

// ---------------------------------------------------------------------------

CPIndexMapChartComponent::CPIndexMapChartComponent(QWidget *parent)
    : CPIndexChartComponent(parent, initIndexChartInfo())
{
}

CPIndexChartInfo CPIndexMapChartComponent::initIndexChartInfo()
{
    CPIndexChartInfo info;
    info.queryType = 3;
    info.catalogObjName = QStringLiteral("ZRN_GENERAL_INDEX_MAP_CATEGORY_1");
    info.indexObjName = QStringLiteral("ZRN_GENERAL_INDEX_MAP_1");
    info.dataObjName = QStringLiteral("ZRN_INDEX_MAP_PRICE_1");
    info.rootNode = 3800;
    info.valueType = -1;
    info.seriesNameField = QStringLiteral("AREA_NAME");
    info.valueField = QStringLiteral("PRICE");
    info.hasChartTypes = true;
    info.chartTypes = {ChartTypeInfo::fromType(ChartTypeInfo::Map)};
    info.shortLists.insert(ChartTypeInfo::Map, {QStringLiteral("HXMapCfgWidget"), QStringLiteral("HXSeriesOptionCfgWidget")});
    info.fullLists.insert(ChartTypeInfo::Map, {QStringLiteral("HXSeriesOptionCfgWidget"), QStringLiteral("HXMapCfgWidget"),
                                               QStringLiteral("HXToolTipCfgWidget"), QStringLiteral("HXToolBoxCfgWidget"),
                                               QStringLiteral("HXGridCfgWidget")});
    info.geoJson = QJsonArray{QJsonObject{{QStringLiteral("key"), QStringLiteral("CN")}, {QStringLiteral("value"), getGeoJson()}}};
    return info;
}

QJsonObject CPIndexMapChartComponent::getGeoJson()
{
    QFile file(WKCfg::instance()->stdPath(QStringLiteral("wkdata")) + QStringLiteral("/map/china-compress.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCCritical(lcCharts).noquote() << QStringLiteral("china.json 文件无法打开");
        return QJsonObject();
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        qCCritical(lcCharts).noquote() << QStringLiteral("fromJson failed: ") + error.errorString();
        return QJsonObject();
    }
    return doc.isObject() ? doc.object() : QJsonObject();
}

CPGlobalMarcoChartComponent::CPGlobalMarcoChartComponent(QWidget *parent)
    : CPIndexChartComponent(parent, initIndexChartInfo())
{
}

CPIndexChartInfo CPGlobalMarcoChartComponent::initIndexChartInfo()
{
    CPIndexChartInfo info;
    info.rootNode = 3174;
    return info;
}

CPMarcoChartComponent::CPMarcoChartComponent(QWidget *parent)
    : CPIndexChartComponent(parent, initIndexChartInfo())
{
}

CPIndexChartInfo CPMarcoChartComponent::initIndexChartInfo()
{
    CPIndexChartInfo info;
    info.rootNode = 400;
    return info;
}

CPMarcoIndustryChartComponent::CPMarcoIndustryChartComponent(QWidget *parent)
    : CPIndexChartComponent(parent, initIndexChartInfo())
{
}

CPIndexChartInfo CPMarcoIndustryChartComponent::initIndexChartInfo()
{
    CPIndexChartInfo info;
    info.rootNode = 399;
    return info;
}

CPPlattsChartComponent::CPPlattsChartComponent(QWidget *parent)
    : CPIndexChartComponent(parent, initIndexChartInfo())
{
}

CPIndexChartInfo CPPlattsChartComponent::initIndexChartInfo()
{
    CPIndexChartInfo info;
    info.indexObjName = QStringLiteral("ZRN_PLATTS_INDEX_1");
    info.dataObjName = QStringLiteral("ZRN_PLATTS_INDEX_DATA_CACHE_1");
    info.rootNode = 3900;
    return info;
}

CPQuoteIndexChartComponent::CPQuoteIndexChartComponent(QWidget *parent)
    : CPIndexChartComponent(parent, initIndexChartInfo())
{
}

CPIndexChartInfo CPQuoteIndexChartComponent::initIndexChartInfo()
{
    CPIndexChartInfo info;
    info.indexObjName = QStringLiteral("ZRN_ZRN_QUOTE_INDEX_1");
    info.rootNode = 3500;
    return info;
}

} // namespace HXCPControls
