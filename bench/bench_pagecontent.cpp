// Restoring and saving page content, against a plain JSON parse and write of the same text.
//
// Pages of 10, 100 and 1,000 items in nested splitters; nothing is shown, so
// every item keeps its stored object. The summary prints the time per item and
// the ratio to the plain JSON round trip, and checks that the cost grows
// linearly (per item at 1,000 within 1.5 times per item at 100).
#include "pagelayout/cpcustompage.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <cstdio>
#include <map>

using HXCPControls::CPCustomPage;

namespace {

QJsonObject itemObject(int n)
{
    return QJsonObject{{"className", "HXCPControls::CPSplitItem"},
                       {"url", n % 3 == 0 ? QString("CPIndexDataComponent") : QString()},
                       {"id", QUuid::createUuid().toString()},
                       {"child", n % 3 == 0 ? QJsonObject{{"indexes", QJsonArray{1001, 1002, 1003}}, {"frequency", 365}}
                                            : QJsonObject()},
                       {"minSize", "0:0"},
                       {"maxSize", "16777215:16777215"},
                       {"hPolicy", "Preferred"},
                       {"vPolicy", "Preferred"},
                       {"hStretch", 0},
                       {"vStretch", 0},
                       {"title", QString("指标 %1").arg(n)}};
}

// A splitter holding `items` items, four children per splitter, alternating orientation.
QJsonObject splitterObject(int items, int depth, int &counter)
{
    QJsonArray children;
    QJsonArray sizes;
    const int fanout = 4;
    if (items <= fanout) {
        for (int i = 0; i < items; ++i) {
            children.append(itemObject(counter++));
            sizes.append(100);
        }
    } else {
        const int share = items / fanout;
        for (int i = 0; i < fanout; ++i) {
            const int part = i == fanout - 1 ? items - share * (fanout - 1) : share;
            QJsonObject child = part == 1 ? itemObject(counter++) : splitterObject(part, depth + 1, counter);
            if (part > 1)
                child.insert("className", "HXCPControls::CPSplitter");
            children.append(child);
            sizes.append(100);
        }
    }
    return QJsonObject{{"orientation", 1 + depth % 2}, {"sizes", sizes}, {"children", children}};
}

QByteArray pageText(int items)
{
    int counter = 0;
    const QJsonObject page{{"version", "1.0"},
                           {"format", "json"},
                           {"date", "202612060000"},
                           {"zhpArgs", QJsonObject()},
                           {"padID", "BENCH"},
                           {"zhpID", "bench"},
                           {"rootItemType", "HXCPControls::CPSplitter"},
                           {"rootObj", splitterObject(items, 0, counter)},
                           {"height", -1}};
    return QJsonDocument(page).toJson(QJsonDocument::Compact);
}

void BM_PageRoundTrip(benchmark::State &state)
{
    const QByteArray text = pageText(int(state.range(0)));
    const QString content = QString::fromUtf8(text);
    for (auto _ : state) {
        auto *page = new CPCustomPage(nullptr, true);
        page->loadDataByContent(content);
        const QByteArray out = QJsonDocument(QJsonObject::fromVariantMap(page->getContent())).toJson(QJsonDocument::Compact);
        benchmark::DoNotOptimize(out.size());
        state.PauseTiming();
        delete page;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["items"] = double(state.range(0));
}

void BM_PlainJson(benchmark::State &state)
{
    const QByteArray text = pageText(int(state.range(0)));
    for (auto _ : state) {
        const QJsonDocument doc = QJsonDocument::fromJson(text);
        const QByteArray out = doc.toJson(QJsonDocument::Compact);
        benchmark::DoNotOptimize(out.size());
    }
    state.counters["items"] = double(state.range(0));
}

BENCHMARK(BM_PageRoundTrip)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainJson)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// Keeps the mean time of every run for the summary.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> nsPerIteration;
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration)
                nsPerIteration[run.benchmark_name()] = run.GetAdjustedRealTime() * 1e3; // reported in µs
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-8s %16s %16s %8s\n", "items", "page ns/item", "json ns/item", "ratio");
    double perItem100 = 0, perItem1000 = 0;
    for (int n : {10, 100, 1000}) {
        const double page = reporter.nsPerIteration["BM_PageRoundTrip/" + std::to_string(n)] / n;
        const double json = reporter.nsPerIteration["BM_PlainJson/" + std::to_string(n)] / n;
        if (page <= 0 || json <= 0)
            continue;
        std::printf("%-8d %16.0f %16.0f %8.1f\n", n, page, json, page / json);
        if (n == 100)
            perItem100 = page;
        if (n == 1000)
            perItem1000 = page;
    }
    if (perItem100 > 0 && perItem1000 > 0) {
        const double growth = perItem1000 / perItem100;
        std::printf("per item at 1000 / per item at 100: %.2f (limit 1.5) %s\n", growth, growth <= 1.5 ? "ok" : "TOO SLOW");
        return growth <= 1.5 ? 0 : 1;
    }
    return 0;
}
