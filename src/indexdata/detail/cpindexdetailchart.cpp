#include "cpindexdetailchart.h"

#include "hxdataapi/hxvariantutil.h"

#include <QMap>
#include <QSet>
#include <QStandardItemModel>

#include <algorithm>

namespace HXCPControls {

QJsonObject CPDetailDataset::toJson() const
{
    return {{QStringLiteral("dimensions"), QJsonArray::fromStringList(dimensions)},
            {QStringLiteral("source"), source}};
}

namespace CPIndexDetailChart {

namespace {

const QString kHeader = QStringLiteral("header");

QDate publishDate(const QJsonObject &row)
{
    return HXUtils::HXVariantUtil::toDate(row.value(QStringLiteral("PUBLISH_DT")).toVariant(), QDate());
}

QString indexName(const QVariantMap &index)
{
    return index.value(QStringLiteral("INDEX_NAME")).toString();
}

bool typeTakesAxisSettings(int type)
{
    return type == CPDetailChartOptions::Line || type == CPDetailChartOptions::Bar
        || type == CPDetailChartOptions::Area || type == CPDetailChartOptions::Scatter;
}

bool typeHasZoom(int type)
{
    switch (type) {
    case CPDetailChartOptions::Line:
    case CPDetailChartOptions::Bar:
    case CPDetailChartOptions::Area:
    case CPDetailChartOptions::StackedBar:
    case CPDetailChartOptions::Scatter:
    case CPDetailChartOptions::KLine:
        return true;
    default:
        return false;
    }
}

// The pie's dataset: one row per series, its values at every category.
CPDetailDataset transposed(const CPDetailDataset &data)
{
    CPDetailDataset t;
    for (const QJsonValue &row : data.source)
        t.dimensions.append(row.toArray().at(0).toVariant().toString());
    for (int d = 1; d < data.dimensions.size(); ++d) {
        QJsonArray row{data.dimensions.at(d)};
        for (const QJsonValue &source : data.source)
            row.append(source.toArray().at(d));
        t.source.append(row);
    }
    return t;
}

QJsonObject markPoints()
{
    return {{QStringLiteral("data"),
             QJsonArray{QJsonObject{{QStringLiteral("type"), QStringLiteral("max")}, {QStringLiteral("name"), QStringLiteral("Max")}},
                        QJsonObject{{QStringLiteral("type"), QStringLiteral("min")}, {QStringLiteral("name"), QStringLiteral("Min")}}}}};
}

QJsonArray klineSeries(const CPDetailDataset &data, const QList<QVariantMap> &indexes)
{
    QJsonArray candles;
    QJsonArray closes;
    for (const QJsonValue &row : data.source) {
        const QJsonValue v = row.toArray().at(1);
        const QJsonValue shown = v.isDouble() ? v : QJsonValue(QStringLiteral("-"));
        candles.append(QJsonArray{shown, shown, shown, shown});
        closes.append(v);
    }
    QJsonArray series{QJsonObject{{QStringLiteral("name"), indexes.isEmpty() ? QString() : indexName(indexes.first())},
                                  {QStringLiteral("type"), QStringLiteral("candlestick")},
                                  {QStringLiteral("data"), candles}}};
    for (int n : {5, 10, 20, 30}) {
        series.append(QJsonObject{{QStringLiteral("name"), QStringLiteral("MA%1").arg(n)},
                                  {QStringLiteral("type"), QStringLiteral("line")},
                                  {QStringLiteral("smooth"), true},
                                  {QStringLiteral("lineStyle"), QJsonObject{{QStringLiteral("opacity"), 0.5}}},
                                  {QStringLiteral("data"), movingAverage(closes, n)}});
    }
    return series;
}

QJsonArray plainSeries(const CPDetailChartOptions &options, const CPDetailDataset &data,
                       const QList<QVariantMap> &indexes)
{
    const int type = options.chartType;
    QJsonArray series;
    for (int d = 1; d < data.dimensions.size(); ++d) {
        const QString name = data.dimensions.at(d);
        QJsonObject s{{QStringLiteral("name"), name}};
        bool typed = false;
        // Axis settings belong to indices, which only the normal form draws.
        if (typeTakesAxisSettings(type) && options.form == CPDetailChartOptions::Normal && d - 1 < indexes.size()) {
            const qint64 id = indexId(indexes.at(d - 1).value(QStringLiteral("IDX_ID")));
            const auto it = options.axisSettings.constFind(id);
            if (it != options.axisSettings.constEnd()) {
                if (it->lineType > 0) {
                    s.insert(QStringLiteral("type"), it->lineType == 1 ? QStringLiteral("line") : QStringLiteral("bar"));
                    typed = true;
                }
                if (it->axisIndex >= 0)
                    s.insert(QStringLiteral("yAxisIndex"), it->axisIndex);
            }
        }
        if (!typed) {
            switch (type) {
            case CPDetailChartOptions::Area:
                s.insert(QStringLiteral("type"), QStringLiteral("line"));
                s.insert(QStringLiteral("areaStyle"), QJsonObject());
                break;
            case CPDetailChartOptions::Bar:
                s.insert(QStringLiteral("type"), QStringLiteral("bar"));
                break;
            case CPDetailChartOptions::HorizontalBar:
            case CPDetailChartOptions::HorizontalStackedBar:
                s.insert(QStringLiteral("type"), QStringLiteral("bar"));
                s.insert(QStringLiteral("encode"), QJsonObject{{QStringLiteral("x"), name}, {QStringLiteral("y"), kHeader}});
                if (type == CPDetailChartOptions::HorizontalStackedBar)
                    s.insert(QStringLiteral("stack"), QStringLiteral("Stack"));
                break;
            case CPDetailChartOptions::StackedBar:
                s.insert(QStringLiteral("type"), QStringLiteral("bar"));
                s.insert(QStringLiteral("stack"), QStringLiteral("Stack"));
                break;
            case CPDetailChartOptions::Scatter:
                s.insert(QStringLiteral("type"), QStringLiteral("scatter"));
                break;
            default:
                s.insert(QStringLiteral("type"), QStringLiteral("line"));
                break;
            }
        }
        s.insert(QStringLiteral("showSymbol"), false);
        s.insert(QStringLiteral("connectNulls"), true);
        if (options.showMarks)
            s.insert(QStringLiteral("markPoint"), markPoints());
        series.append(s);
    }
    return series;
}

void addAxes(QJsonObject &option, const CPDetailChartOptions &options, const CPDetailDataset &data,
             const QList<QVariantMap> &indexes)
{
    const int type = options.chartType;
    const QJsonObject splitLine{{QStringLiteral("show"), options.showGridLines}};
    QJsonObject first;
    QJsonObject second;
    if (type == CPDetailChartOptions::HorizontalBar || type == CPDetailChartOptions::HorizontalStackedBar) {
        first = {{QStringLiteral("type"), QStringLiteral("value")}, {QStringLiteral("scale"), true},
                 {QStringLiteral("splitLine"), splitLine}};
        second = {{QStringLiteral("type"), QStringLiteral("category")}};
    } else {
        first = {{QStringLiteral("type"), QStringLiteral("category")}};
        bool hasBar = false;
        for (const QJsonValue &s : option.value(QStringLiteral("series")).toArray())
            hasBar = hasBar || s.toObject().value(QStringLiteral("type")).toString() == QLatin1String("bar");
        if (hasBar) {
            first.insert(QStringLiteral("boundaryGap"), true);
        } else {
            first.insert(QStringLiteral("axisLabel"), QJsonObject{{QStringLiteral("showMaxLabel"), true},
                                                                  {QStringLiteral("showMinLabel"), true}});
            first.insert(QStringLiteral("boundaryGap"), false);
        }
        if (type == CPDetailChartOptions::KLine) {
            QJsonArray categories;
            for (const QJsonValue &row : data.source)
                categories.append(row.toArray().at(0));
            first.insert(QStringLiteral("data"), categories);
        }
        second = {{QStringLiteral("type"), QStringLiteral("value")}, {QStringLiteral("scale"), true},
                  {QStringLiteral("splitLine"), splitLine}};
    }
    option.insert(QStringLiteral("xAxis"), first);

    bool twoAxes = false;
    if (typeTakesAxisSettings(type) && options.form == CPDetailChartOptions::Normal) {
        for (const CPAxisSetting &s : options.axisSettings)
            twoAxes = twoAxes || s.axisIndex > 0;
    }
    if (twoAxes) {
        QString units[2];
        bool placed[2] = {false, false};
        for (const CPAxisSetting &s : options.axisSettings) { // QMap walks in ID order
            const int slot = s.axisIndex > 0 ? 1 : 0;
            if (!placed[slot]) {
                units[slot] = s.unit;
                placed[slot] = true;
            }
        }
        option.insert(QStringLiteral("yAxis"),
                      QJsonArray{QJsonObject{{QStringLiteral("name"), units[0]}, {QStringLiteral("splitLine"), splitLine}},
                                 QJsonObject{{QStringLiteral("name"), units[1]},
                                             {QStringLiteral("splitLine"), QJsonObject{{QStringLiteral("show"), false}}}}});
    } else {
        second.insert(QStringLiteral("name"), indexes.isEmpty() ? QString() : indexUnit(indexes.first()));
        option.insert(QStringLiteral("yAxis"), second);
    }
}

} // namespace

qint64 indexId(const QVariant &value)
{
    bool ok = false;
    const qint64 id = value.toLongLong(&ok);
    return ok ? id : qint64(value.toDouble());
}

QString indexUnit(const QVariantMap &index)
{
    const QString unit = index.value(QStringLiteral("INDEX_UNIT")).toString();
    return unit.isEmpty() ? index.value(QStringLiteral("UNIT_NAME")).toString() : unit;
}

QJsonValue numericValue(const QJsonValue &value)
{
    return value.isDouble() ? value : QJsonValue(QJsonValue::Null);
}

CPDetailDataset normalDataset(const QJsonArray &valueRows, const QList<QVariantMap> &indexes)
{
    CPDetailDataset data;
    QHash<qint64, int> column;
    for (const QVariantMap &index : indexes) {
        column.insert(indexId(index.value(QStringLiteral("IDX_ID"))), data.dimensions.size());
        data.dimensions.append(indexName(index));
    }
    QMap<QString, QJsonArray> rows; // "yyyy-MM-dd" sorts by date
    for (const QJsonValue &v : valueRows) {
        const QJsonObject row = v.toObject();
        const QDate date = publishDate(row);
        const int c = column.value(indexId(row.value(QStringLiteral("IDX_ID")).toVariant()), -1);
        if (!date.isValid() || c < 0)
            continue;
        const QString key = date.toString(QStringLiteral("yyyy-MM-dd"));
        auto it = rows.find(key);
        if (it == rows.end()) {
            QJsonArray fresh{key};
            for (int i = 1; i < data.dimensions.size(); ++i)
                fresh.append(QJsonValue::Null);
            it = rows.insert(key, fresh);
        }
        it->replace(c, numericValue(row.value(QStringLiteral("INDEX_VAL"))));
    }
    for (const QJsonArray &row : qAsConst(rows))
        data.source.append(row);
    return data;
}

QString seasonPeriodCaption(int frequencyCode)
{
    if (frequencyCode == 12)
        return QStringLiteral("发布月份");
    if (frequencyCode == 4)
        return QStringLiteral("发布季度");
    return QStringLiteral("发布日期");
}

CPDetailDataset seasonDataset(const QJsonArray &valueRows, int frequencyCode, int startYear, int endYear)
{
    CPDetailDataset data;
    for (int year = startYear; year <= endYear; ++year)
        data.dimensions.append(QStringLiteral("%1年").arg(year));
    const int years = data.dimensions.size() - 1;

    // Periods keyed so that their order is the calendar's.
    QMap<int, QJsonArray> rows;
    auto emptyRow = [years](const QString &label) {
        QJsonArray row{label};
        for (int i = 0; i < years; ++i)
            row.append(QJsonValue::Null);
        return row;
    };
    if (frequencyCode == 12) {
        for (int m = 1; m <= 12; ++m)
            rows.insert(m, emptyRow(QStringLiteral("%1月份").arg(m, 2, 10, QLatin1Char('0'))));
    } else if (frequencyCode == 4) {
        for (int q = 1; q <= 4; ++q)
            rows.insert(q, emptyRow(QStringLiteral("%1季度").arg(q)));
    }
    for (const QJsonValue &v : valueRows) {
        const QJsonObject row = v.toObject();
        const QDate date = publishDate(row);
        if (!date.isValid() || date.year() < startYear || date.year() > endYear)
            continue;
        int key;
        if (frequencyCode == 12) {
            key = date.month();
        } else if (frequencyCode == 4) {
            key = (date.month() - 1) / 3 + 1;
        } else {
            key = date.toString(QStringLiteral("MMdd")).toInt();
            if (!rows.contains(key))
                rows.insert(key, emptyRow(date.toString(QStringLiteral("MM月dd日"))));
        }
        rows[key].replace(date.year() - startYear + 1, numericValue(row.value(QStringLiteral("INDEX_VAL"))));
    }
    for (const QJsonArray &row : qAsConst(rows))
        data.source.append(row);
    return data;
}

void fillTable(QStandardItemModel *model, const CPDetailDataset &dataset, int form, int seasonFrequencyCode)
{
    model->clear();
    const int series = dataset.dimensions.size() - 1;
    model->setColumnCount(series + 2);
    model->setHeaderData(0, Qt::Horizontal, QString());
    model->setHeaderData(1, Qt::Horizontal,
                         form == CPDetailChartOptions::Season ? seasonPeriodCaption(seasonFrequencyCode)
                                                              : QStringLiteral("发布日期"));
    for (int s = 0; s < series; ++s)
        model->setHeaderData(s + 2, Qt::Horizontal, dataset.dimensions.at(s + 1));

    int number = 0;
    for (const QJsonValue &v : dataset.source) {
        const QJsonArray row = v.toArray();
        QList<QStandardItem *> items;
        auto *counter = new QStandardItem(QString::number(++number));
        counter->setData(number, Qt::UserRole + 1);
        counter->setTextAlignment(Qt::AlignCenter);
        items.append(counter);
        const QString category = row.at(0).toString();
        auto *categoryItem = new QStandardItem(category);
        categoryItem->setData(category, Qt::UserRole + 1);
        categoryItem->setTextAlignment(Qt::AlignCenter);
        items.append(categoryItem);
        for (int s = 1; s <= series; ++s) {
            const QJsonValue value = row.at(s);
            auto *item = new QStandardItem;
            if (value.isDouble()) {
                item->setText(HXUtils::HXVariantUtil::toString(value.toDouble(), QStringLiteral("-")));
                item->setData(value.toDouble(), Qt::UserRole + 1);
            } else {
                item->setText(QStringLiteral("-"));
            }
            item->setTextAlignment(Qt::AlignCenter);
            items.append(item);
        }
        model->appendRow(items);
    }
}

QJsonArray movingAverage(const QJsonArray &values, int n)
{
    QJsonArray averages;
    for (int i = 0; i < values.size(); ++i) {
        if (i < n) {
            averages.append(QStringLiteral("-"));
            continue;
        }
        double sum = 0;
        for (int k = i - n + 1; k <= i; ++k)
            sum += values.at(k).toDouble(0);
        averages.append(sum / n);
    }
    return averages;
}

QJsonArray palette()
{
    static const QJsonArray colours{
        "#7CB5EC", "#F7A35C", "#8085E9", "#F15C80", "#E4D354", "#2B908F", "#F45B5B", "#91E8E1",
        "#058DC7", "#50B432", "#ED561B", "#DDDF00", "#24CBE5", "#64E572", "#FF9655", "#FFF263",
        "#6AF9C4", "#D47F00", "#00FFFF", "#D4FF55", "#4572A7", "#AA4643", "#89A54E", "#80699B",
        "#3D96AE", "#DB843D", "#92A8CD", "#A47D7C", "#7FBF55", "#A5C2D5", "#CBAB4F", "#76A871",
        "#A56F8F", "#C12C44", "#9F7961", "#76A871", "#6F83A5", "#0F4FB8", "#106DCF", "#B3D74C",
        "#74AAE3", "#5CDEC6", "#3526DE", "#9D65EE", "#A8B3E3", "#6BC1B7", "#549EE2", "#6E98D6"};
    return colours;
}

QJsonObject buildOption(const CPDetailChartOptions &options, const QList<CPDetailDataset> &datasets,
                        const QList<QVariantMap> &indexes)
{
    const int type = options.chartType;
    const bool pie = type == CPDetailChartOptions::Pie;
    const bool kline = type == CPDetailChartOptions::KLine;
    const CPDetailDataset first = datasets.isEmpty() ? CPDetailDataset() : datasets.first();
    QJsonObject option;

    if (!kline) {
        QJsonArray list;
        for (const CPDetailDataset &d : datasets)
            list.append(d.toJson());
        if (pie && datasets.size() == 1)
            list.append(transposed(first).toJson());
        option.insert(QStringLiteral("dataset"), list);
    }

    if (kline) {
        option.insert(QStringLiteral("series"), klineSeries(first, indexes));
    } else if (pie) {
        QJsonObject encode{{QStringLiteral("itemName"), kHeader}};
        const CPDetailDataset used = datasets.size() == 1 ? transposed(first) : datasets.value(1);
        if (used.dimensions.size() > 1)
            encode.insert(QStringLiteral("value"), used.dimensions.at(1));
        option.insert(QStringLiteral("series"),
                      QJsonArray{QJsonObject{{QStringLiteral("type"), QStringLiteral("pie")},
                                             {QStringLiteral("datasetIndex"), 1},
                                             {QStringLiteral("encode"), encode}}});
    } else {
        option.insert(QStringLiteral("series"), plainSeries(options, first, indexes));
    }

    if (!pie)
        addAxes(option, options, first, indexes);

    if (typeHasZoom(type)) {
        option.insert(QStringLiteral("dataZoom"), QJsonObject{{QStringLiteral("start"), 0}, {QStringLiteral("end"), 100},
                                                              {QStringLiteral("bottom"), 40}});
        option.insert(QStringLiteral("grid"), QJsonObject{{QStringLiteral("bottom"), 100}});
    }

    if (options.showLegend) {
        option.insert(QStringLiteral("legend"),
                      pie ? QJsonObject{{QStringLiteral("type"), QStringLiteral("scroll")}, {QStringLiteral("orient"), QStringLiteral("vertical")},
                                        {QStringLiteral("x"), QStringLiteral("right")}, {QStringLiteral("y"), QStringLiteral("center")}}
                          : QJsonObject{{QStringLiteral("type"), QStringLiteral("scroll")}, {QStringLiteral("orient"), QStringLiteral("horizontal")},
                                        {QStringLiteral("x"), QStringLiteral("center")}, {QStringLiteral("y"), QStringLiteral("bottom")}});
    } else {
        option.remove(QStringLiteral("legend"));
    }

    QJsonObject tooltip{{QStringLiteral("trigger"), pie ? QStringLiteral("item") : QStringLiteral("axis")},
                        {QStringLiteral("backgroundColor"), QStringLiteral("rgba(255,255,255)")}};
    if (kline)
        tooltip.insert(QStringLiteral("formatter"), QStringLiteral("method=klineFormatter"));
    option.insert(QStringLiteral("tooltip"), tooltip);

    if (options.showTitle) {
        const QString text = options.titleText.isEmpty() && !indexes.isEmpty() ? indexName(indexes.first())
                                                                                : options.titleText;
        option.insert(QStringLiteral("title"), QJsonObject{{QStringLiteral("left"), options.titleAlign},
                                                           {QStringLiteral("text"), text}});
    }
    option.insert(QStringLiteral("color"), palette());
    return option;
}

} // namespace CPIndexDetailChart

} // namespace HXCPControls
