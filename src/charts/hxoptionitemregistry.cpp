#include "hxoptionitemregistry.h"

#include "hxchartoption.h"
#include "config/hxoptionitemcfgwidgets.h"

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

namespace {
template <class Widget>
QWidget *makeWidget(QWidget *parent)
{
    return new Widget(parent);
}
} // namespace

HXOptionItemRegistry::HXOptionItemRegistry()
{
    // Every option item comes as a pair: the widget that edits its entry and
    // the builder that turns the entry into option keys.
    registerItem("HXPieOptionCfgWidget", &makeWidget<HXPieOptionCfgWidget>, &HXChartOption::buildPie);
    registerItem("HXSeriesOptionCfgWidget", &makeWidget<HXSeriesOptionCfgWidget>, &HXChartOption::buildSeries);
    registerItem("HXTitleOptionWidget", &makeWidget<HXTitleOptionWidget>, &HXChartOption::buildTitle);
    registerItem("HXXYDataCfgWidget", &makeWidget<HXXYDataCfgWidget>, &HXChartOption::buildAxis);
    registerItem("HXMapCfgWidget", &makeWidget<HXMapCfgWidget>, &HXChartOption::buildMap);
    registerItem("HXToolTipCfgWidget", &makeWidget<HXToolTipCfgWidget>, &HXChartOption::buildToolTip);
    registerItem("HXUnitCfgWidget", &makeWidget<HXUnitCfgWidget>, &HXChartOption::buildUnit);
    registerItem("HXLegendCfgWidget", &makeWidget<HXLegendCfgWidget>, &HXChartOption::buildLegend);
    registerItem("HXGridCfgWidget", &makeWidget<HXGridCfgWidget>, &HXChartOption::buildGrid);
    registerItem("HXToolBoxCfgWidget", &makeWidget<HXToolBoxCfgWidget>, &HXChartOption::buildToolBox);
}

void HXOptionItemRegistry::registerItem(const QByteArray &className, Factory factory, Builder builder)
{
    if (!factory || !builder)
        return;
    m_factories.insert(className, factory);
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

QList<QByteArray> HXOptionItemRegistry::factoryNames() const
{
    return m_factories.keys();
}

QWidget *HXOptionItemRegistry::create(const QByteArray &className, QWidget *parent) const
{
    const Factory make = factory(className);
    return make ? make(parent) : nullptr;
}

} // namespace HXCPControls
