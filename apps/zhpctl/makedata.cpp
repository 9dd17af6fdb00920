#include "makedata.h"

#include "chartinput.h"

#include "charts/cpchartdatabuilder.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cstdio>

using namespace HXCPControls;

static int usage()
{
    std::fputs("usage: zhpctl makedata --query-type Q --records RECORDS.json --dimensions DIMS.json [--cal CAL.json]\n"
               "                       [--ids ID,ID,...]\n"
               "       zhpctl makedata --records RECORDS.json --ids ID --season-frequency F --season-query QUERY.json\n"
               "                       [--dimensions DIMS.json]\n",
               stderr);
    return 2;
}

static int fail(const QString &error)
{
    std::fprintf(stderr, "zhpctl: %s\n", qPrintable(error));
    return 1;
}

// Prints the dataset that the chart data builder makes of value rows.
int runMakeData(const QStringList &args)
{
    QHash<QString, QString> values;
    QString error;
    if (!ChartInput::parseOptions(args, {QStringLiteral("query-type"), QStringLiteral("records"), QStringLiteral("dimensions"),
                                         QStringLiteral("cal"), QStringLiteral("ids"), QStringLiteral("season-frequency"),
                                         QStringLiteral("season-query")},
                                  &values, &error)) {
        std::fprintf(stderr, "zhpctl: %s\n", qPrintable(error));
        return usage();
    }
    const bool season = values.contains(QStringLiteral("season-frequency"));
    if (!values.contains(QStringLiteral("records")) || (!season && !values.contains(QStringLiteral("query-type")))
        || (!season && !values.contains(QStringLiteral("dimensions"))))
        return usage();

    QJsonDocument records;
    if (!ChartInput::readJson(values.value(QStringLiteral("records")), &records, &error))
        return fail(error);
    if (!records.isArray())
        return fail(QStringLiteral("the records must be a JSON array of value rows"));

    QList<Dimension> dimensions;
    if (values.contains(QStringLiteral("dimensions"))) {
        QJsonDocument doc;
        if (!ChartInput::readJson(values.value(QStringLiteral("dimensions")), &doc, &error))
            return fail(error);
        if (!doc.isArray())
            return fail(QStringLiteral("the dimensions must be a JSON array of {\"name\", \"id\"} objects"));
        for (const QJsonValue &v : doc.array()) {
            const QJsonObject d = v.toObject();
            if (!d.value(QStringLiteral("name")).isString())
                return fail(QStringLiteral("every dimension needs a \"name\" text"));
            const QJsonValue id = d.value(QStringLiteral("id"));
            dimensions.append({d.value(QStringLiteral("name")).toString(),
                               id.isString() ? id.toString().toLongLong() : qint64(id.toDouble())});
        }
    }

    QVariantMap calIndexes;
    if (values.contains(QStringLiteral("cal"))) {
        QJsonDocument doc;
        if (!ChartInput::readJson(values.value(QStringLiteral("cal")), &doc, &error))
            return fail(error);
        if (!doc.isObject())
            return fail(QStringLiteral("the calculated indices must be a JSON object from series name to index entry"));
        calIndexes = doc.object().toVariantMap();
    }

    QList<qlonglong> ids;
    for (const QString &text : values.value(QStringLiteral("ids")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        ids.append(text.trimmed().toLongLong(&ok));
        if (!ok)
            return fail(QStringLiteral("--ids: %1 is not an index ID").arg(text));
    }

    CPChartDataBuilder::Result result;
    if (season) {
        bool ok = false;
        const int frequency = values.value(QStringLiteral("season-frequency")).toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("--season-frequency must be a frequency code"));
        QVariantMap seasonQuery;
        if (values.contains(QStringLiteral("season-query"))) {
            QJsonDocument doc;
            if (!ChartInput::readJson(values.value(QStringLiteral("season-query")), &doc, &error))
                return fail(error);
            if (!doc.isObject())
                return fail(QStringLiteral("the season query must be a JSON object"));
            seasonQuery = doc.object().toVariantMap();
        }
        // The year columns of the season query, as a chart asks for them.
        if (dimensions.isEmpty()) {
            const QStringList years = CPChartDataBuilder::seasonDimensions(seasonQuery);
            for (int i = 1; i < years.size(); ++i)
                dimensions.append({years.at(i), 0});
        }
        result = CPChartDataBuilder::makeSeasonData(frequency, records, dimensions, QStringLiteral("INDEX_VAL"),
                                                    QStringLiteral("PUBLISH_DT"), calIndexes, ids);
    } else {
        bool ok = false;
        const int queryType = values.value(QStringLiteral("query-type")).toInt(&ok);
        if (!ok)
            return fail(QStringLiteral("--query-type must be a number"));
        result = CPChartDataBuilder::makeData(queryType, records, dimensions, QStringLiteral("IDX_ID"), QStringLiteral("INDEX_VAL"),
                                              QStringLiteral("PUBLISH_DT"), calIndexes, ids);
    }
    const QJsonObject out{{QStringLiteral("dimensions"), result.first}, {QStringLiteral("source"), result.second}};
    std::fputs(QJsonDocument(out).toJson(QJsonDocument::Compact).constData(), stdout);
    std::fputc('\n', stdout);
    return 0;
}
