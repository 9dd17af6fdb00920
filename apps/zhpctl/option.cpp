#include "option.h"

#include "chartinput.h"

#include "charts/cpindexchartcomponent.h"
#include "charts/hxchartoption.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

using namespace HXCPControls;

static int usage()
{
    std::fputs("usage: zhpctl option --type T --cfg CFG.json --dataset DATASET.json [--full CLASS,CLASS,...]\n", stderr);
    return 2;
}

static int fail(const QString &error)
{
    std::fprintf(stderr, "zhpctl: %s\n", qPrintable(error));
    return 1;
}

// The builders that run for `type` in a chart component: the default
// description's list, or the map component's for the map.
static QStringList defaultFullList(int type)
{
    CPIndexChartInfo info;
    info.fillDefaults();
    if (info.fullLists.contains(type))
        return info.fullLists.value(type);
    if (type == ChartTypeInfo::Map) {
        CPIndexChartInfo map;
        map.fullLists.insert(ChartTypeInfo::Map, {QStringLiteral("HXSeriesOptionCfgWidget"), QStringLiteral("HXMapCfgWidget"),
                                                  QStringLiteral("HXToolTipCfgWidget"), QStringLiteral("HXToolBoxCfgWidget"),
                                                  QStringLiteral("HXGridCfgWidget")});
        return map.fullLists.value(type);
    }
    return CPIndexChartInfo::defaultFullList(type);
}

// Prints the option that a chart builds for a configuration and a dataset.
int runOption(const QStringList &args)
{
    QHash<QString, QString> values;
    QString error;
    if (!ChartInput::parseOptions(args, {QStringLiteral("type"), QStringLiteral("cfg"), QStringLiteral("dataset"), QStringLiteral("full")},
                                  &values, &error)) {
        std::fprintf(stderr, "zhpctl: %s\n", qPrintable(error));
        return usage();
    }
    if (!values.contains(QStringLiteral("type")) || !values.contains(QStringLiteral("cfg")) || !values.contains(QStringLiteral("dataset")))
        return usage();
    bool ok = false;
    const int type = values.value(QStringLiteral("type")).toInt(&ok);
    if (!ok)
        return fail(QStringLiteral("--type must be a chart type code, not %1").arg(values.value(QStringLiteral("type"))));

    QJsonDocument cfgDoc, datasetDoc;
    if (!ChartInput::readJson(values.value(QStringLiteral("cfg")), &cfgDoc, &error)
        || !ChartInput::readJson(values.value(QStringLiteral("dataset")), &datasetDoc, &error))
        return fail(error);
    if (!cfgDoc.isObject())
        return fail(QStringLiteral("the option configuration is not a JSON object"));
    const QJsonObject dataset = datasetDoc.object();
    if (!datasetDoc.isObject() || !dataset.value(QStringLiteral("dimensions")).isArray()
        || !dataset.value(QStringLiteral("source")).isArray())
        return fail(QStringLiteral("the dataset must be an object with the arrays \"dimensions\" and \"source\""));

    const ChartTypeInfo chartType = ChartTypeInfo::fromType(type);
    QStringList full = defaultFullList(chartType.type);
    if (values.contains(QStringLiteral("full")))
        full = values.value(QStringLiteral("full")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    QVariantMap cfg = cfgDoc.object().toVariantMap();
    cfg.insert(QStringLiteral("type"), chartType.type);

    QJsonObject option = HXChartOption::makeOption(chartType, {{chartType.type, full}}, cfg, nullptr,
                                                   QJsonObject{{QStringLiteral("dataset"), QJsonArray{dataset}}});
    HXChartOption::applyPalette(option);
    std::fputs(QJsonDocument(option).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
