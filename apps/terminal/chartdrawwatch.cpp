#include "chartdrawwatch.h"

#include "hxecharts/hxechartsview.h"

namespace ChartDrawWatch {

namespace {
const char *const kFollowed = "zhpDrawFollowed";
const char *const kDrawn = "zhpDrawn";
}

void follow(QWidget *root)
{
    for (HXEcharts::HXEChartsView *chart : root->findChildren<HXEcharts::HXEChartsView *>()) {
        if (chart->property(kFollowed).toBool())
            continue;
        chart->setProperty(kFollowed, true);
        QObject::connect(chart, &HXEcharts::HXEChartsView::chartDrawn, chart,
                         [chart](bool) { chart->setProperty(kDrawn, true); });
    }
}

int undrawnVisibleCharts(QWidget *root, bool needOption)
{
    follow(root);
    int undrawn = 0;
    for (HXEcharts::HXEChartsView *chart : root->findChildren<HXEcharts::HXEChartsView *>()) {
        if (!chart->isVisible())
            continue;
        const bool drawn = chart->property(kDrawn).toBool();
        const bool waiting = needOption ? !drawn : (!chart->isChartReady() || (!chart->lastOption().isEmpty() && !drawn));
        undrawn += waiting ? 1 : 0;
    }
    return undrawn;
}

int visibleCharts(QWidget *root)
{
    int count = 0;
    for (HXEcharts::HXEChartsView *chart : root->findChildren<HXEcharts::HXEChartsView *>())
        count += chart->isVisible() ? 1 : 0;
    return count;
}

} // namespace ChartDrawWatch
