#include "hxoptionitemregistry.h"

#include "hxchartoption.h"

#include <QMutex>

#include <atomic>

namespace HXCPControls {

namespace {
std::atomic<HXOptionItemRegistry *> s_instance{nullptr};
QMutex s_mutex;
} // namespace

HXOptionItemRegistry *HXOptionItemRegistry::instance()
{
    HXOptionItemRegistry *registry = s_instance.load(std::memory_order_acquire);
    if (!registry) {
        QMutexLocker lock(&s_mutex);
        registry = s_instance.load(std::memory_order_relaxed);
        if (!registry) {
            registry = new HXOptionItemRegistry;
            s_instance.store(registry, std::memory_order_release);
        }
    }
    return registry;
}

HXOptionItemRegistry::HXOptionItemRegistry()
{
    // The widgets that edit these entries join with the chart settings panel.
    registerBuilder("HXPieOptionCfgWidget", &HXChartOption::buildPie);
    registerBuilder("HXSeriesOptionCfgWidget", &HXChartOption::buildSeries);
    registerBuilder("HXTitleOptionWidget", &HXChartOption::buildTitle);
    registerBuilder("HXXYDataCfgWidget", &HXChartOption::buildAxis);
    registerBuilder("HXMapCfgWidget", &HXChartOption::buildMap);
    registerBuilder("HXToolTipCfgWidget", &HXChartOption::buildToolTip);
    registerBuilder("HXUnitCfgWidget", &HXChartOption::buildUnit);
    registerBuilder("HXLegendCfgWidget", &HXChartOption::buildLegend);
    registerBuilder("HXGridCfgWidget", &HXChartOption::buildGrid);
    registerBuilder("HXToolBoxCfgWidget", &HXChartOption::buildToolBox);
}

void HXOptionItemRegistry::registerItem(const QByteArray &className, Factory factory, Builder builder)
{
    registerFactory(className, factory);
    registerBuilder(className, builder);
}

void HXOptionItemRegistry::registerFactory(const QByteArray &className, Factory factory)
{
    if (factory)
        m_factories.insert(className, factory);
}

void HXOptionItemRegistry::registerBuilder(const QByteArray &className, Builder builder)
{
    if (builder)
        m_builders.insert(className, builder);
}

HXOptionItemRegistry::Builder HXOptionItemRegistry::builder(const QByteArray &className) const
{
    return m_builders.value(className, nullptr);
}

HXOptionItemRegistry::Factory HXOptionItemRegistry::factory(const QByteArray &className) const
{
    return m_factories.value(className, nullptr);
}

QList<QByteArray> HXOptionItemRegistry::builderNames() const
{
    return m_builders.keys();
}

} // namespace HXCPControls
