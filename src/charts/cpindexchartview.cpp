#include "cpindexchartview.h"

#include "cpchartdatabuilder.h"
#include "hxchartoption.h"
#include "hxoptionfilterbasewidget.h"

#include "common/logging.h"
#include "hxecharts/hxechartsview.h"
#include "pagelayout/cpsplitview.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QMessageBox>
#include <QVBoxLayout>

namespace HXCPControls {

CPIndexChartView::LoadPlan CPIndexChartView::loadPlan(const CPIndexChartInfo &info, const CPIndexChartConfig &config)
{
    LoadPlan plan;
    auto addIds = [&plan](const QVariantMap &entry, const QString &seriesName, qint64 ownId) {
        if (entry.contains(QStringLiteral("isCal"))) {
            plan.calIndexes.insert(seriesName, entry);
            const QVariantMap identifiers = entry.value(QStringLiteral("identifierMap")).toMap();
            for (const QVariant &operand : identifiers) {
                const qlonglong id = operand.toMap().value(QStringLiteral("IDX_ID")).toLongLong();
                if (!plan.ids.contains(id))
                    plan.ids.append(id);
            }
        } else {
            plan.ids.append(ownId);
        }
    };
    for (const QVariantMap &entry : config.indexes) {
        const QString unit = entry.value(QStringLiteral("UNIT_NAME")).toString();
        const QString indexName = entry.value(QStringLiteral("INDEX_NAME")).toString();
        const qint64 id = entry.value(info.indexIdField).toLongLong();
        QString seriesName = entry.value(info.seriesNameField).toString();
        if (seriesName.isEmpty())
            seriesName = indexName;
        if (config.isSeasonForm) {
            if (!entry.value(QStringLiteral("isSeason")).toBool())
                continue;
            plan.units.insert(indexName, unit);
            addIds(entry, seriesName, id);
            plan.seasonFrequency = entry.value(QStringLiteral("FREQUENCY_CODE")).toInt();
            const QStringList years = CPChartDataBuilder::seasonDimensions(config.seasonQuery);
            for (int i = 1; i < years.size(); ++i)
                plan.dimensions.append({years.at(i), 0});
            break;
        }
        if (entry.value(QStringLiteral("unchecked")).toBool())
            continue;
        plan.units.insert(seriesName, unit);
        addIds(entry, seriesName, id);
        plan.dimensions.append({seriesName, id});
    }
    return plan;
}

CPIndexChartView::CPIndexChartView(QWidget *parent, CPIndexChartInfo info)
    : QWidget(parent)
    , m_info(std::move(info))
    , m_service(new CPChartsService)
{
    setObjectName(QStringLiteral("HXCPControls__CPIndexChartView"));
    m_queryType = m_info.queryType;
    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setObjectName(QStringLiteral("main_layout"));
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_mainLayout->setSpacing(0);
    m_chartLayout = new QHBoxLayout;
    m_chartLayout->setObjectName(QStringLiteral("chart_layout"));
    m_chartLayout->setContentsMargins(0, 0, 0, 0);
    m_mainLayout->addLayout(m_chartLayout, 1);

    m_chartsView = new HXEcharts::HXEChartsView(this, QJsonArray());
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (w->inherits("HXCPControls::CPSplitView")) {
            m_splitView = w;
            static_cast<CPSplitView *>(w)->registerChartView(m_chartsView);
            break;
        }
    }
    if (!m_info.geoJson.isEmpty())
        m_chartsView->setGeoJson(m_info.geoJson);
    m_chartLayout->addWidget(m_chartsView, 1);
}

CPIndexChartView::~CPIndexChartView()
{
    // A split view that is being destroyed has left the registry already.
    if (CPSplitView *view = splitView(); view && CPSplitView::isAlive(view))
        view->unregisterChartView(m_chartsView);
    delete m_service;
}

CPSplitView *CPIndexChartView::splitView() const
{
    return static_cast<CPSplitView *>(m_splitView.data());
}

QVariantMap &CPIndexChartView::optionCfgInUse()
{
    return m_config.isSeasonForm ? m_config.seasonOptionCfg : m_config.optionCfg;
}

void CPIndexChartView::setConfig(const CPIndexChartConfig &config)
{
    if (config.indexes.isEmpty() || (config.optionCfg.isEmpty() && config.seasonOptionCfg.isEmpty()))
        return;
    m_config = config;
    m_chartType = ChartTypeInfo::fromType(optionCfgInUse().value(QStringLiteral("type")).toInt());

    if (m_filterWidget) {
        m_mainLayout->removeWidget(m_filterWidget);
        delete m_filterWidget;
        m_filterWidget = nullptr;
    }
    if (m_chartType.isPie || m_chartType.isSection) {
        m_filterWidget = new HXPieChartFilterWidget(this);
        m_mainLayout->insertWidget(0, m_filterWidget);
        connect(m_filterWidget, &HXOptionFilterBaseWidget::configChanged, this, &CPIndexChartView::applyFilter);
    }
    load();
}

void CPIndexChartView::applyFilter()
{
    if (m_filterWidget)
        m_chartsView->addCharts(m_filterWidget->filter(m_lastOption), true);
}

void CPIndexChartView::load()
{
    const LoadPlan plan = loadPlan(m_info, m_config);
    optionCfgInUse().insert(QStringLiteral("units"), plan.units);
    const int generation = ++m_generation;
    if (plan.ids.isEmpty()) {
        QJsonObject empty;
        HXChartOption::showOption(m_chartsView, m_chartType, empty);
        return;
    }
    QPointer<CPIndexChartView> self(this);
    auto callback = [self, generation, plan](const HXDataApi::HttpJsonResult &result) {
        // A later configuration supersedes the answer of an earlier one.
        if (!self || self->m_generation != generation)
            return;
        if (!result.success) {
            qCWarning(lcCharts).noquote() << "chart query failed:" << result.errorMsg;
            QMetaObject::invokeMethod(self, "invokeMessageError", Q_ARG(QString, QStringLiteral("指标加载失败")));
            return;
        }
        QMetaObject::invokeMethod(self, "loadIndexData", Q_ARG(QJsonDocument, result.data),
                                  Q_ARG(QList<HXCPControls::Dimension>, plan.dimensions),
                                  Q_ARG(QVariantMap, plan.calIndexes), Q_ARG(QList<qlonglong>, plan.ids));
    };
    if (m_config.isSeasonForm) {
        m_config.seasonQuery.insert(QStringLiteral("frequency"), plan.seasonFrequency);
        m_service->querySeasonData(m_info.dataObjName, plan.ids, plan.seasonFrequency, m_config.seasonQuery, callback);
    } else {
        m_service->queryChartData(m_info.dataObjName, m_queryType, plan.ids, m_config.query, callback);
    }
}

void CPIndexChartView::loadIndexData(QJsonDocument doc, QList<Dimension> dimensions, QVariantMap calIndexes,
                                     QList<qlonglong> idxList)
{
    const CPChartDataBuilder::Result data =
        m_config.isSeasonForm
            ? CPChartDataBuilder::makeSeasonData(m_config.seasonQuery.value(QStringLiteral("frequency")).toInt(), doc,
                                                 dimensions, m_info.valueField, m_info.dateField, calIndexes, idxList)
            : CPChartDataBuilder::makeData(m_queryType, doc, dimensions, m_info.indexIdField, m_info.valueField,
                                           m_info.dateField, calIndexes, idxList);
    m_lastOption.insert(QStringLiteral("dataset"),
                        QJsonArray{QJsonObject{{QStringLiteral("source"), data.second}, {QStringLiteral("dimensions"), data.first}}});
    m_lastOption = HXChartOption::makeOption(m_chartType, m_info.fullLists, optionCfgInUse(), m_filterWidget, m_lastOption);
    HXChartOption::showOption(m_chartsView, m_chartType, m_lastOption);
    emit chartUpdated();
}

void CPIndexChartView::loadIndexData(QJsonDocument doc, QList<Dimension> dimensions, QVariantMap calIndexes)
{
    loadIndexData(doc, dimensions, calIndexes, QList<qlonglong>());
}

void CPIndexChartView::loadIndexData(QJsonDocument doc, QList<Dimension> dimensions)
{
    loadIndexData(doc, dimensions, QVariantMap(), QList<qlonglong>());
}

void CPIndexChartView::invokeMessageError(QString msg)
{
    qCDebug(lcCharts).noquote() << msg;
    emit loadFailed(msg);
    QMessageBox::critical(this, QStringLiteral("错误"), msg, QMessageBox::Ok);
}

} // namespace HXCPControls
