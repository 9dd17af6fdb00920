#include "hxchartoption.h"

#include "hxoptionfilterbasewidget.h"
#include "hxoptionitemregistry.h"

#include "hxecharts/hxechartsview.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QSet>

#include <cmath>

namespace HXCPControls {

namespace {

const QString kHeader = QStringLiteral("header");
const QString kDataset = QStringLiteral("dataset");
const QString kSeries = QStringLiteral("series");
const QString kLegend = QStringLiteral("legend");

int typeOf(const QVariantMap &cfg)
{
    return cfg.value(QStringLiteral("type")).toInt();
}

QJsonObject firstDataset(const QJsonObject &option)
{
    return option.value(kDataset).toArray().first().toObject();
}

QStringList dimensionNames(const QJsonObject &dataset)
{
    QStringList names;
    for (const QJsonValue &v : dataset.value(QStringLiteral("dimensions")).toArray())
        names.append(v.isObject() ? v.toObject().value(QStringLiteral("name")).toString() : v.toString());
    return names;
}

// Appends the transposed first dataset as dataset 1 (replacing one that an
// earlier builder appended) and returns it.
QJsonObject appendTransposed(QJsonObject &option)
{
    QJsonArray datasets = option.value(kDataset).toArray();
    const QJsonObject transposed = HXChartOption::transposedDataset(datasets.first().toObject());
    while (datasets.size() > 1)
        datasets.removeLast();
    datasets.append(transposed);
    option.insert(kDataset, datasets);
    return transposed;
}

QJsonObject pieSeries(bool transposed, const QJsonObject &dataset)
{
    const QStringList dims = dimensionNames(dataset);
    QJsonObject encode{{QStringLiteral("itemName"), kHeader}};
    encode.insert(QStringLiteral("value"), dims.size() > 1 ? dims.at(1) : QString());
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("pie")},
                       {QStringLiteral("datasetIndex"), transposed ? 1 : 0},
                       {QStringLiteral("encode"), encode}};
}

QJsonObject maxMinMarkPoint()
{
    return QJsonObject{{QStringLiteral("data"),
                        QJsonArray{QJsonObject{{QStringLiteral("type"), QStringLiteral("max")}, {QStringLiteral("name"), QStringLiteral("Max")}},
                                   QJsonObject{{QStringLiteral("type"), QStringLiteral("min")}, {QStringLiteral("name"), QStringLiteral("Min")}}}}};
}

// The keys that a chart type code gives a series.
void applySeriesType(int code, const QString &name, QJsonObject &series)
{
    switch (code) {
    case ChartTypeInfo::Bar:
        series.insert(QStringLiteral("type"), QStringLiteral("bar"));
        break;
    case ChartTypeInfo::Area:
        series.insert(QStringLiteral("type"), QStringLiteral("line"));
        series.insert(QStringLiteral("areaStyle"), QJsonObject());
        break;
    case ChartTypeInfo::Scatter:
        series.insert(QStringLiteral("type"), QStringLiteral("scatter"));
        break;
    case ChartTypeInfo::StackedBar:
        series.insert(QStringLiteral("type"), QStringLiteral("bar"));
        series.insert(QStringLiteral("stack"), QStringLiteral("Stack"));
        break;
    case ChartTypeInfo::HorizontalBar:
        series.insert(QStringLiteral("type"), QStringLiteral("bar"));
        series.insert(QStringLiteral("encode"), QJsonObject{{QStringLiteral("x"), name}, {QStringLiteral("y"), kHeader}});
        break;
    case ChartTypeInfo::HorizontalStackedBar:
        series.insert(QStringLiteral("type"), QStringLiteral("bar"));
        series.insert(QStringLiteral("encode"), QJsonObject{{QStringLiteral("x"), name}, {QStringLiteral("y"), kHeader}});
        series.insert(QStringLiteral("stack"), QStringLiteral("Stack"));
        break;
    default:
        series.insert(QStringLiteral("type"), QStringLiteral("line"));
        break;
    }
}

bool isOwnStyleType(int code)
{
    return code == ChartTypeInfo::Line || code == ChartTypeInfo::Bar || code == ChartTypeInfo::Area
           || code == ChartTypeInfo::Scatter;
}

// The legend that the legend and title builders write from their entry.
void writeLegend(const QVariantMap &entry, QJsonObject &option)
{
    if (!entry.value(QStringLiteral("showLegend"), true).toBool()) {
        option.remove(kLegend);
        return;
    }
    const QString position = entry.value(QStringLiteral("legendPosition")).toString();
    const QString h = entry.value(QStringLiteral("legendHPosition")).toString();
    const QString v = entry.value(QStringLiteral("legendVPosition")).toString();
    const QString orient = position.isEmpty() || position == QLatin1String("H") ? QStringLiteral("horizontal")
                                                                                 : QStringLiteral("vertical");
    const QString x = h.isEmpty() || h == QLatin1String("C") ? QStringLiteral("center")
                      : h == QLatin1String("L")              ? QStringLiteral("left")
                                                              : QStringLiteral("right");
    const QString y = v.isEmpty() || v == QLatin1String("T") ? QStringLiteral("top")
                      : v == QLatin1String("B")              ? QStringLiteral("bottom")
                                                              : QStringLiteral("center");
    option.insert(kLegend, QJsonObject{{QStringLiteral("type"), QStringLiteral("scroll")},
                                       {QStringLiteral("orient"), orient},
                                       {QStringLiteral("x"), x},
                                       {QStringLiteral("y"), y}});
}

QJsonObject defaultGrid()
{
    return QJsonObject{{QStringLiteral("top"), 35}, {QStringLiteral("right"), 50}, {QStringLiteral("left"), 20},
                       {QStringLiteral("bottom"), 5}, {QStringLiteral("containLabel"), true}};
}

void setPieCenter(QJsonObject &option, const QString &x, const QString &y)
{
    QJsonArray series = option.value(kSeries).toArray();
    if (series.isEmpty())
        return;
    QJsonObject first = series.first().toObject();
    first.insert(QStringLiteral("center"), QJsonArray{x, y});
    series.replace(0, first);
    option.insert(kSeries, series);
}

} // namespace

bool HXChartOption::hasEntry(const QVariantMap &cfg, const char *className)
{
    return cfg.contains(QStringLiteral("HXCPControls::") + QLatin1String(className));
}

QVariantMap HXChartOption::entry(const QVariantMap &cfg, const char *className)
{
    return cfg.value(QStringLiteral("HXCPControls::") + QLatin1String(className)).toMap();
}

QJsonObject HXChartOption::transposedDataset(const QJsonObject &dataset)
{
    const QJsonArray source = dataset.value(QStringLiteral("source")).toArray();
    const QStringList dims = dimensionNames(dataset);
    QJsonArray dimensions{kHeader};
    QStringList headers;
    for (const QJsonValue &v : source) {
        const QString header = v.toObject().value(kHeader).toVariant().toString();
        headers.append(header);
        dimensions.append(header);
    }
    QJsonArray rows;
    for (int d = 1; d < dims.size(); ++d) {
        QJsonObject row{{kHeader, dims.at(d)}};
        for (int r = 0; r < source.size(); ++r) {
            const QJsonValue cell = source.at(r).toObject().value(dims.at(d));
            row.insert(headers.at(r), cell.isUndefined() ? QJsonValue(QJsonValue::Null) : cell);
        }
        rows.append(row);
    }
    return QJsonObject{{QStringLiteral("dimensions"), dimensions}, {QStringLiteral("source"), rows}};
}

void HXChartOption::buildSeries(const QVariantMap &cfg, QJsonObject &option)
{
    const int type = typeOf(cfg);
    const QVariantMap own = entry(cfg, "HXSeriesOptionCfgWidget");
    const bool showMaxMin = own.value(QStringLiteral("isShowMaxMin")).toBool();

    if (type == ChartTypeInfo::Map) {
        option.insert(kSeries, QJsonArray{QJsonObject{
                                   {QStringLiteral("type"), QStringLiteral("map")},
                                   {QStringLiteral("map"), QStringLiteral("CN")},
                                   {QStringLiteral("label"), QJsonObject{{QStringLiteral("show"), own.value(QStringLiteral("isShowLabel")).toBool()}}}}});
        return;
    }
    if (!option.contains(kDataset))
        return;
    if (type == ChartTypeInfo::Pie) {
        const bool transposed = hasEntry(cfg, "HXSeriesOptionCfgWidget")
                                    ? own.value(QStringLiteral("transposed")).toBool()
                                    : entry(cfg, "HXPieOptionCfgWidget").value(QStringLiteral("transposed")).toBool();
        const QJsonObject used = transposed ? appendTransposed(option) : firstDataset(option);
        option.insert(kSeries, QJsonArray{pieSeries(transposed, used)});
        return;
    }
    if (type == ChartTypeInfo::Section) {
        const QStringList dims = dimensionNames(appendTransposed(option));
        QJsonObject series{{QStringLiteral("type"), QStringLiteral("bar")},
                           {QStringLiteral("datasetIndex"), 1},
                           {QStringLiteral("encode"), QJsonObject{{QStringLiteral("x"), kHeader},
                                                                  {QStringLiteral("y"), dims.size() > 1 ? dims.at(1) : QString()}}}};
        if (showMaxMin)
            series.insert(QStringLiteral("markPoint"), maxMinMarkPoint());
        option.insert(kSeries, QJsonArray{series});
        return;
    }

    const QStringList dims = dimensionNames(firstDataset(option));
    const QList<bool> rightByUnit = rightAxisByUnit(dims.mid(1), cfg.value(QStringLiteral("units")).toMap());
    const bool ownStyle = isOwnStyleType(type);
    QJsonArray seriesArray;
    for (int d = 1; d < dims.size(); ++d) {
        const QString name = dims.at(d);
        QJsonObject series{{QStringLiteral("name"), name}};
        if (showMaxMin)
            series.insert(QStringLiteral("markPoint"), maxMinMarkPoint());
        if (ownStyle) {
            const QVariantMap seriesEntry = own.value(name).toMap();
            int code = seriesEntry.value(QStringLiteral("type"), type).toInt();
            if (!isOwnStyleType(code))
                code = type;
            applySeriesType(code, name, series);
            const QString color = seriesEntry.value(QStringLiteral("color")).toString();
            if (!color.isEmpty())
                series.insert(QStringLiteral("color"), QJsonArray{color});
            const QString nickName = seriesEntry.value(QStringLiteral("nickName")).toString();
            if (!nickName.isEmpty())
                series.insert(QStringLiteral("name"), nickName);
            series.insert(QStringLiteral("yAxisIndex"), seriesEntry.value(QStringLiteral("yAxisIndex"), 0).toInt());
            if (rightByUnit.at(d - 1))
                series.insert(QStringLiteral("yAxisIndex"), 1);
        } else {
            applySeriesType(type, name, series);
        }
        series.insert(QStringLiteral("showSymbol"), false);
        series.insert(QStringLiteral("connectNulls"), true);
        seriesArray.append(series);
    }
    option.insert(kSeries, seriesArray);
}

QList<bool> HXChartOption::rightAxisByUnit(const QStringList &seriesNames, const QVariantMap &units)
{
    QSet<QString> distinctUnits;
    for (const QVariant &u : units)
        distinctUnits.insert(u.toString());
    QList<bool> right;
    QString previousUnit;
    for (int i = 0; i < seriesNames.size(); ++i) {
        const QString unit = units.value(seriesNames.at(i)).toString();
        right.append(distinctUnits.size() > 1 && i > 0 && unit != previousUnit);
        previousUnit = unit;
    }
    return right;
}

void HXChartOption::buildAxis(const QVariantMap &cfg, QJsonObject &option)
{
    if (cfg.isEmpty()) {
        option.insert(QStringLiteral("xAxis"),
                      QJsonObject{{QStringLiteral("type"), QStringLiteral("category")},
                                  {QStringLiteral("axisLabel"), QJsonObject{{QStringLiteral("showMaxLabel"), true}, {QStringLiteral("showMinLabel"), true}}},
                                  {QStringLiteral("boundaryGap"), false}});
        option.insert(QStringLiteral("yAxis"), QJsonObject{{QStringLiteral("type"), QStringLiteral("value")}, {QStringLiteral("scale"), true}});
        return;
    }
    const int type = typeOf(cfg);
    if (type == ChartTypeInfo::Pie || type == ChartTypeInfo::Map)
        return;
    const QVariantMap own = entry(cfg, "HXXYDataCfgWidget");
    const bool showNetGrid = own.value(QStringLiteral("isShowNetGrid")).toBool();
    const bool showUnit = own.contains(QStringLiteral("isShowUnit"))
                              ? own.value(QStringLiteral("isShowUnit")).toBool()
                              : entry(cfg, "HXUnitCfgWidget").value(QStringLiteral("isShowUnit")).toBool();
    const QJsonObject valueAxis{{QStringLiteral("type"), QStringLiteral("value")},
                                {QStringLiteral("scale"), true},
                                {QStringLiteral("splitLine"), QJsonObject{{QStringLiteral("show"), showNetGrid}}}};
    if (type == ChartTypeInfo::HorizontalBar || type == ChartTypeInfo::HorizontalStackedBar) {
        option.insert(QStringLiteral("xAxis"), valueAxis);
        option.insert(QStringLiteral("yAxis"), QJsonObject{{QStringLiteral("type"), QStringLiteral("category")}});
        return;
    }

    const QJsonArray series = option.value(kSeries).toArray();
    bool anyBar = false;
    bool anyRight = false;
    for (const QJsonValue &s : series) {
        anyBar = anyBar || s.toObject().value(QStringLiteral("type")).toString() == QLatin1String("bar");
        anyRight = anyRight || s.toObject().value(QStringLiteral("yAxisIndex")).toInt() == 1;
    }
    QJsonObject xAxis{{QStringLiteral("type"), QStringLiteral("category")}};
    if (anyBar) {
        xAxis.insert(QStringLiteral("boundaryGap"), true);
    } else {
        xAxis.insert(QStringLiteral("axisLabel"), QJsonObject{{QStringLiteral("showMaxLabel"), true}, {QStringLiteral("showMinLabel"), true}});
        xAxis.insert(QStringLiteral("boundaryGap"), false);
    }
    if (type == ChartTypeInfo::Section)
        xAxis.insert(QStringLiteral("axisLabel"), QJsonObject{{QStringLiteral("interval"), 0}, {QStringLiteral("rotate"), 30}});
    option.insert(QStringLiteral("xAxis"), xAxis);

    QJsonObject left = valueAxis;
    QJsonObject right = valueAxis;
    right.insert(QStringLiteral("splitLine"), QJsonObject{{QStringLiteral("show"), false}});
    const QVariantMap units = cfg.value(QStringLiteral("units")).toMap();
    if (!units.isEmpty() && showUnit) {
        QString leftName, rightName;
        for (const QJsonValue &s : series) {
            const QJsonObject object = s.toObject();
            const QString unit = units.value(object.value(QStringLiteral("name")).toString()).toString();
            if (object.value(QStringLiteral("yAxisIndex")).toInt() == 0)
                leftName = unit;
            else
                rightName = unit;
        }
        left.insert(QStringLiteral("name"), leftName);
        right.insert(QStringLiteral("name"), rightName);
    }
    if (anyRight)
        option.insert(QStringLiteral("yAxis"), QJsonArray{left, right});
    else
        option.insert(QStringLiteral("yAxis"), left);
}

void HXChartOption::buildLegend(const QVariantMap &cfg, QJsonObject &option)
{
    const bool own = hasEntry(cfg, "HXLegendCfgWidget");
    if (!own && !hasEntry(cfg, "HXTitleOptionWidget")) {
        option.remove(QStringLiteral("title"));
        option.remove(kLegend);
        return;
    }
    writeLegend(own ? entry(cfg, "HXLegendCfgWidget") : entry(cfg, "HXTitleOptionWidget"), option);
}

void HXChartOption::buildTitle(const QVariantMap &cfg, QJsonObject &option)
{
    option.remove(QStringLiteral("title"));
    if (!hasEntry(cfg, "HXTitleOptionWidget")) {
        option.remove(kLegend);
        return;
    }
    writeLegend(entry(cfg, "HXTitleOptionWidget"), option);
}

void HXChartOption::buildToolTip(const QVariantMap &cfg, QJsonObject &option)
{
    if (cfg.isEmpty())
        return;
    const int type = typeOf(cfg);
    const bool item = type == ChartTypeInfo::Pie || type == ChartTypeInfo::Map;
    option.insert(QStringLiteral("tooltip"),
                  QJsonObject{{QStringLiteral("trigger"), item ? QStringLiteral("item") : QStringLiteral("axis")},
                              {QStringLiteral("confine"), true},
                              {QStringLiteral("formatter"), type == ChartTypeInfo::Section ? QStringLiteral("method=sectionFormatter")
                                                                                          : QStringLiteral("method=tooltipFormatter")}});
}

void HXChartOption::buildToolBox(const QVariantMap &cfg, QJsonObject &option)
{
    if (cfg.isEmpty())
        return;
    const int type = typeOf(cfg);
    const QString content = type == ChartTypeInfo::Pie ? QStringLiteral("method=dataViewPie")
                            : type == ChartTypeInfo::Map ? QStringLiteral("method=dataViewMap")
                                                         : QStringLiteral("method=dataViewLine");
    option.insert(QStringLiteral("toolbox"),
                  QJsonObject{{QStringLiteral("show"), false},
                              {QStringLiteral("top"), -5},
                              {QStringLiteral("feature"),
                               QJsonObject{{QStringLiteral("dataView"), QJsonObject{{QStringLiteral("readOnly"), true},
                                                                                    {QStringLiteral("optionToContent"), content}}},
                                           {QStringLiteral("saveAsImage"), QJsonObject()},
                                           {QStringLiteral("myPopup"), QJsonObject()}}}});
}

void HXChartOption::buildGrid(const QVariantMap &cfg, QJsonObject &option)
{
    if (cfg.isEmpty() || !option.contains(kDataset) || !option.contains(kLegend))
        return;
    const bool pie = typeOf(cfg) == ChartTypeInfo::Pie;
    const QJsonObject legend = option.value(kLegend).toObject();
    const QString x = legend.value(QStringLiteral("x")).toString();
    const QString y = legend.value(QStringLiteral("y")).toString();
    auto grid = [](int top, int right, int left, int bottom) {
        return QJsonObject{{QStringLiteral("top"), top}, {QStringLiteral("right"), right}, {QStringLiteral("left"), left},
                           {QStringLiteral("bottom"), bottom}, {QStringLiteral("containLabel"), true}};
    };

    if (legend.value(QStringLiteral("orient")).toString() == QLatin1String("vertical")) {
        if (pie) {
            if (x == QLatin1String("left"))
                setPieCenter(option, QStringLiteral("60%"), QStringLiteral("50%"));
            else if (x == QLatin1String("right"))
                setPieCenter(option, QStringLiteral("40%"), QStringLiteral("50%"));
            else
                option.insert(QStringLiteral("grid"), defaultGrid());
            return;
        }
        const QStringList dims = dimensionNames(firstDataset(option));
        int widest = 0;
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            const QFontMetrics metrics{QFont()};
            for (int d = 1; d < dims.size(); ++d)
                widest = qMax(widest, metrics.horizontalAdvance(dims.at(d)));
        }
        if (dims.size() < 2 || widest == 0)
            option.insert(QStringLiteral("grid"), defaultGrid());
        else if (x == QLatin1String("left"))
            option.insert(QStringLiteral("grid"), grid(35, 50, widest + 15, 5));
        else if (x == QLatin1String("right"))
            option.insert(QStringLiteral("grid"), grid(35, widest + 15, 20, 5));
        else
            option.insert(QStringLiteral("grid"), defaultGrid());
        return;
    }
    if (pie) {
        if (y == QLatin1String("bottom"))
            setPieCenter(option, QStringLiteral("50%"), QStringLiteral("40%"));
        else if (y == QLatin1String("top"))
            setPieCenter(option, QStringLiteral("50%"), QStringLiteral("60%"));
        else
            option.insert(QStringLiteral("grid"), defaultGrid());
        return;
    }
    if (y == QLatin1String("bottom"))
        option.insert(QStringLiteral("grid"), grid(35, 50, 20, 35));
    else
        option.insert(QStringLiteral("grid"), grid(y == QLatin1String("top") ? 60 : 35, 50, 20, 10));
}

void HXChartOption::buildMap(const QVariantMap &cfg, QJsonObject &option)
{
    const QJsonObject dataset = firstDataset(option);
    const QStringList dims = dimensionNames(dataset);
    double lo = 0, hi = 100;
    bool any = false;
    if (dims.size() > 1) {
        for (const QJsonValue &row : dataset.value(QStringLiteral("source")).toArray()) {
            const QJsonValue cell = row.toObject().value(dims.at(1));
            if (!cell.isDouble() || !std::isfinite(cell.toDouble()))
                continue;
            const double v = cell.toDouble();
            lo = any ? qMin(lo, v) : v;
            hi = any ? qMax(hi, v) : v;
            any = true;
        }
    }
    const QVariantMap own = entry(cfg, "HXMapCfgWidget");
    const QJsonArray colors = own.value(QStringLiteral("isCustomColor")).toBool()
                                  ? QJsonArray{own.value(QStringLiteral("color1")).toString(),
                                               own.value(QStringLiteral("color2")).toString(),
                                               own.value(QStringLiteral("color3")).toString()}
                                  : QJsonArray{QStringLiteral("#a3ccf8"), QStringLiteral("#7ca4e3"), QStringLiteral("#547cce")};
    option.insert(QStringLiteral("visualMap"),
                  QJsonObject{{QStringLiteral("min"), lo},
                              {QStringLiteral("max"), hi},
                              {QStringLiteral("realtime"), false},
                              {QStringLiteral("calculable"), true},
                              {QStringLiteral("text"), QJsonArray{QStringLiteral("高"), QStringLiteral("低")}},
                              {QStringLiteral("inRange"), QJsonObject{{QStringLiteral("color"), colors}}}});
}

void HXChartOption::buildPie(const QVariantMap &cfg, QJsonObject &option)
{
    if (!option.contains(kDataset))
        return;
    const bool transposed = entry(cfg, "HXPieOptionCfgWidget").value(QStringLiteral("transposed")).toBool();
    const QJsonObject used = transposed ? appendTransposed(option) : firstDataset(option);
    option.insert(kSeries, QJsonArray{pieSeries(transposed, used)});
    option.remove(QStringLiteral("xAxis"));
    option.remove(QStringLiteral("yAxis"));
}

void HXChartOption::buildUnit(const QVariantMap &, QJsonObject &)
{
    // The unit settings are read by the axis builder.
}

QJsonObject HXChartOption::makeOption(const ChartTypeInfo &chartType, const QMap<int, QStringList> &fullLists,
                                      const QVariantMap &cfg, HXOptionFilterBaseWidget *filterWidget,
                                      const QJsonObject &currentOption)
{
    QJsonObject option;
    if (currentOption.contains(kDataset))
        option.insert(kDataset, currentOption.value(kDataset));
    const HXOptionItemRegistry *registry = HXOptionItemRegistry::instance();
    for (const QString &className : fullLists.value(chartType.type)) {
        if (HXOptionItemRegistry::Builder build = registry->builder(className.toLatin1()))
            build(cfg, option);
    }
    if (filterWidget)
        filterWidget->apply(option);
    return option;
}

QJsonArray HXChartOption::palette()
{
    static const QJsonArray colors{
        QStringLiteral("#7CB5EC"), QStringLiteral("#F7A35C"), QStringLiteral("#8085E9"), QStringLiteral("#F15C80"),
        QStringLiteral("#E4D354"), QStringLiteral("#2B908F"), QStringLiteral("#F45B5B"), QStringLiteral("#91E8E1"),
        QStringLiteral("#058DC7"), QStringLiteral("#50B432"), QStringLiteral("#ED561B"), QStringLiteral("#DDDF00"),
        QStringLiteral("#24CBE5"), QStringLiteral("#64E572"), QStringLiteral("#FF9655"), QStringLiteral("#FFF263"),
        QStringLiteral("#6AF9C4"), QStringLiteral("#D47F00"), QStringLiteral("#00FFFF"), QStringLiteral("#D4FF55"),
        QStringLiteral("#4572A7"), QStringLiteral("#AA4643"), QStringLiteral("#89A54E"), QStringLiteral("#80699B"),
        QStringLiteral("#3D96AE"), QStringLiteral("#DB843D"), QStringLiteral("#92A8CD"), QStringLiteral("#A47D7C"),
        QStringLiteral("#7FBF55"), QStringLiteral("#A5C2D5"), QStringLiteral("#CBAB4F"), QStringLiteral("#76A871"),
        QStringLiteral("#A56F8F"), QStringLiteral("#C12C44"), QStringLiteral("#9F7961"), QStringLiteral("#76A871"),
        QStringLiteral("#6F83A5"), QStringLiteral("#0F4FB8"), QStringLiteral("#106DCF"), QStringLiteral("#B3D74C"),
        QStringLiteral("#74AAE3"), QStringLiteral("#5CDEC6"), QStringLiteral("#3526DE"), QStringLiteral("#9D65EE"),
        QStringLiteral("#A8B3E3"), QStringLiteral("#6BC1B7"), QStringLiteral("#549EE2"), QStringLiteral("#6E98D6")};
    return colors;
}

void HXChartOption::applyPalette(QJsonObject &option)
{
    option.insert(QStringLiteral("color"), palette());
}

void HXChartOption::showOption(HXEcharts::HXEChartsView *view, const ChartTypeInfo &, QJsonObject &option)
{
    if (!view)
        return;
    applyPalette(option);
    view->addCharts(option, false);
}

} // namespace HXCPControls
