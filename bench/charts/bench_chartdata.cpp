// The chart data builder over 10 series of 5,000 dates (50,000 value rows),
// with and without two calculated indices, the option builder on the result,
// and the same reshaping with pandas' pivot_table for comparison.
#include "charts/cpchartdatabuilder.h"
#include "charts/cpindexchartinfo.h"
#include "charts/hxchartoption.h"

#include "benchsummary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace HXCPControls;

namespace {

constexpr int kSeries = 10;
constexpr int kDates = 5000;
constexpr qint64 kBaseId = 2001000000000LL;

struct Input
{
    QJsonDocument records;
    QList<Dimension> dimensions;
    QList<qlonglong> ids;
    QVariantMap calIndexes;
    QList<Dimension> calDimensions;
};

const Input &input()
{
    static const Input in = [] {
        Input in;
        QJsonArray rows;
        const qint64 day0 = QDateTime(QDate(2010, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
        for (int s = 0; s < kSeries; ++s) {
            const qint64 id = kBaseId + s + 1;
            in.ids.append(id);
            in.dimensions.append({QStringLiteral("指标%1").arg(s + 1), id});
            double value = 1000 + 100 * s;
            for (int d = 0; d < kDates; ++d) {
                value += ((d * 7919 + s * 104729) % 201 - 100) / 10.0;
                rows.append(QJsonObject{{"IDX_ID", double(id)}, {"PUBLISH_DT", double(day0 + qint64(d) * 86400000)}, {"INDEX_VAL", value}});
            }
        }
        in.records = QJsonDocument(rows);
        in.calDimensions = in.dimensions;
        const QString a = QString::number(kBaseId + 1), b = QString::number(kBaseId + 2), c = QString::number(kBaseId + 3);
        in.calIndexes.insert("价差", QVariantMap{{"INDEX_NAME", "价差"}, {"isCal", true}, {"idxIdExpression", QString(a + "-" + b)}});
        in.calIndexes.insert("均值", QVariantMap{{"INDEX_NAME", "均值"}, {"isCal", true}, {"idxIdExpression", QString("(" + a + "+" + b + "+" + c + ")/3")}});
        in.calDimensions.append({"价差", 0});
        in.calDimensions.append({"均值", 0});
        return in;
    }();
    return in;
}

CPChartDataBuilder::Result makeData(bool withCal)
{
    const Input &in = input();
    return CPChartDataBuilder::makeData(1, in.records, withCal ? in.calDimensions : in.dimensions, "IDX_ID", "INDEX_VAL",
                                        "PUBLISH_DT", withCal ? in.calIndexes : QVariantMap(), in.ids);
}

QJsonObject makeOption(const CPChartDataBuilder::Result &data)
{
    CPIndexChartInfo info;
    info.fillDefaults();
    const QVariantMap cfg{{"type", 1},
                          {"HXCPControls::HXLegendCfgWidget", QVariantMap{{"showLegend", true}, {"legendPosition", "V"}, {"legendHPosition", "L"}}},
                          {"units", QVariantMap{}}};
    const QJsonObject current{{"dataset", QJsonArray{QJsonObject{{"dimensions", data.first}, {"source", data.second}}}}};
    return HXChartOption::makeOption(ChartTypeInfo::fromType(1), info.fullLists, cfg, nullptr, current);
}

void BM_MakeData(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(makeData(false));
    state.SetItemsProcessed(state.iterations() * kSeries * kDates);
}
BENCHMARK(BM_MakeData)->Unit(benchmark::kMillisecond);

void BM_MakeDataTwoCalculated(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(makeData(true));
    state.SetItemsProcessed(state.iterations() * kSeries * kDates);
}
BENCHMARK(BM_MakeDataTwoCalculated)->Unit(benchmark::kMillisecond);

void BM_MakeOption(benchmark::State &state)
{
    const CPChartDataBuilder::Result data = makeData(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(makeOption(data));
}
BENCHMARK(BM_MakeOption)->Unit(benchmark::kMillisecond);

// The best of the rounds: other work on the machine only ever slows one down.
template <class F>
double bestMs(int rounds, F f)
{
    QVector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    return *std::min_element(times.begin(), times.end());
}

// Runs the pandas script on the same rows; the median of its rounds in ms, or -1.
double pandasMs(int rounds, QString *error)
{
    QTemporaryDir dir;
    QFile rows(dir.filePath("rows.json"));
    QFile names(dir.filePath("names.json"));
    if (!rows.open(QIODevice::WriteOnly) || !names.open(QIODevice::WriteOnly)) {
        *error = "cannot write the rows for pandas";
        return -1;
    }
    rows.write(input().records.toJson(QJsonDocument::Compact));
    rows.close();
    QJsonObject map;
    for (const Dimension &d : input().dimensions)
        map.insert(QString::number(d.id), d.name);
    names.write(QJsonDocument(map).toJson(QJsonDocument::Compact));
    names.close();
    QProcess python;
    python.start("/usr/bin/python3", {PIVOT_SCRIPT, rows.fileName(), names.fileName(), QString::number(rounds)});
    if (!python.waitForFinished(300000) || python.exitCode() != 0) {
        *error = QString::fromUtf8(python.readAllStandardError()).trimmed();
        if (error->isEmpty())
            *error = python.errorString();
        return -1;
    }
    const QStringList out = QString::fromUtf8(python.readAllStandardOutput()).split(' ');
    if (out.size() < 3 || out[1].toInt() != kDates || out[2].toInt() != kSeries) {
        *error = "pandas made another table: " + out.join(' ');
        return -1;
    }
    return out[0].toDouble();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv); // the grid builder measures text
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    const int rounds = 7;
    const CPChartDataBuilder::Result plain = makeData(false);
    if (plain.second.size() != kDates || plain.first.size() != kSeries + 1) {
        std::fprintf(stderr, "makeData made %d rows of %d columns\n", int(plain.second.size()), int(plain.first.size()));
        return 1;
    }
    const double cpp = bestMs(rounds, [] { makeData(false); });
    const double cpp2 = bestMs(rounds, [] { makeData(true); });
    const double option = bestMs(rounds, [&] { makeOption(plain); });
    QString error;
    const double pandas = pandasMs(rounds, &error);
    std::printf("\n%d value rows (%d series x %d dates), best of %d rounds:\n", kSeries * kDates, kSeries, kDates, rounds);
    std::printf("  makeData                        %9.2f ms\n", cpp);
    std::printf("  makeData, two calculated indices %8.2f ms\n", cpp2);
    std::printf("  makeOption on the result        %9.2f ms\n", option);
    if (pandas < 0) {
        std::printf("  pandas pivot_table              unavailable: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("  pandas pivot_table              %9.2f ms\n", pandas);
    std::printf("  ratio pandas / makeData                 %6.2f\n", pandas / cpp);
    std::printf("  ratio pandas / makeData with calculated %6.2f\n", pandas / cpp2);
    BenchSummary::info("makeData ms", cpp);
    BenchSummary::info("makeOption ms", option);
    BenchSummary::info("pandas / makeData", pandas / cpp);
    BenchSummary::info("pandas / makeData with calculated", pandas / cpp2);
    return 0;
}
