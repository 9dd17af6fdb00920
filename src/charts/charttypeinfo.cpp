#include "charttypeinfo.h"

#include <QJsonDocument>

namespace HXCPControls {

ChartTypeInfo ChartTypeInfo::fromType(int type)
{
    ChartTypeInfo info;
    switch (type) {
    case Bar:
        info.type = Bar;
        info.key = QStringLiteral("d_bar");
        info.name = QStringLiteral("柱状图");
        info.isBar = true;
        break;
    case Pie:
        info.type = Pie;
        info.key = QStringLiteral("d_pie");
        info.name = QStringLiteral("饼图");
        info.isPie = true;
        break;
    case Area:
        info.type = Area;
        info.key = QStringLiteral("d_area");
        info.name = QStringLiteral("面积图");
        info.isArea = true;
        break;
    case Map:
        info.type = Map;
        info.key = QStringLiteral("mapChart");
        info.name = QStringLiteral("地图");
        info.isMap = true;
        break;
    case HorizontalBar:
        info.type = HorizontalBar;
        info.key = QStringLiteral("d_horizontal_bar");
        info.name = QStringLiteral("横柱图");
        info.isHorizontalBar = true;
        break;
    case StackedBar:
        info.type = StackedBar;
        info.key = QStringLiteral("d_stacked_bar");
        info.name = QStringLiteral("堆积图");
        info.isStackedBar = true;
        break;
    case HorizontalStackedBar:
        info.type = HorizontalStackedBar;
        info.key = QStringLiteral("d_horizontal_stacked_bar");
        info.name = QStringLiteral("堆积图");
        info.isHorizontalStackedBar = true;
        break;
    case Scatter:
        info.type = Scatter;
        info.key = QStringLiteral("d_scatter");
        info.name = QStringLiteral("散点图");
        info.isScatter = true;
        break;
    case KLine:
        info.type = KLine;
        info.key = QStringLiteral("d_kline");
        info.name = QStringLiteral("K线图");
        info.isKLine = true;
        break;
    case Section:
        info.type = Section;
        info.key = QStringLiteral("d_section");
        info.name = QStringLiteral("日期截面图");
        info.isSection = true;
        break;
    default:
        info.type = Line;
        info.key = QStringLiteral("d_line");
        info.name = QStringLiteral("折线图");
        info.isLine = true;
        break;
    }
    return info;
}

QList<ChartTypeInfo> ChartTypeInfo::allTypes()
{
    QList<ChartTypeInfo> types;
    for (int t = Line; t <= Section; ++t)
        types.append(fromType(t));
    return types;
}

void registerChartMetaTypes()
{
    qRegisterMetaType<ChartTypeInfo>("ChartTypeInfo");
    qRegisterMetaType<ChartTypeInfo>("HXCPControls::ChartTypeInfo");
    qRegisterMetaType<Dimension>("Dimension");
    qRegisterMetaType<QList<Dimension>>("QList<Dimension>");
    qRegisterMetaType<QList<Dimension>>("QList<HXCPControls::Dimension>");
    qRegisterMetaType<QList<qlonglong>>("QList<qlonglong>");
    qRegisterMetaType<QJsonDocument>("QJsonDocument");
}

namespace {
// Registered when the library loads, so that queued slots take these types.
const bool s_registered = (registerChartMetaTypes(), true);
}

} // namespace HXCPControls
