// Restoring and saving page content, against a plain JSON parse and write of the same text.
//
// Pages of 10, 100 and 1,000 items in nested splitters, and of 1,000 and
// 10,000 items in one splitter; nothing is shown, so every item keeps its
// stored object. The summary prints the time per item and the ratio to the
// plain JSON round trip, and checks on the best of several rounds that the
// cost grows linearly: per item at the larger size within 1.5 times per item
// at the smaller one, in both shapes.
#include "benchsummary.h"

#include "pagelayout/cpcustompage.h"

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

// `items` items side by side in the root splitter.
QJsonObject flatSplitter(int items)
{
    QJsonArray children;
    QJsonArray sizes;
    for (int i = 0; i < items; ++i) {
        children.append(itemObject(i));
        sizes.append(10);
    }
    return QJsonObject{{"orientation", 1}, {"sizes", sizes}, {"children", children}};
}

QByteArray pageText(int items, bool flat = false)
{
    int counter = 0;
    const QJsonObject page{{"version", "1.0"},
                           {"format", "json"},
                           {"date", "202612060000"},
                           {"zhpArgs", QJsonObject()},
                           {"padID", "BENCH"},
                           {"zhpID", "bench"},
                           {"rootItemType", "HXCPControls::CPSplitter"},
                           {"rootObj", flat ? flatSplitter(items) : splitterObject(items, 0, counter)},
                           {"height", -1}};
    return QJsonDocument(page).toJson(QJsonDocument::Compact);
}

void BM_PageRoundTrip(benchmark::State &state)
{
    const QByteArray text = pageText(int(state.range(0)), state.range(1) != 0);
    const QString content = QString::fromUtf8(text);
    for (auto _ : state) {
        auto *page = new CPCustomPage(nullptr, true);
        page->loadDataByContent(content);
        const QByteArray out = QJsonDocument(QJsonObject::fromVariantMap(page->getContent())).toJson(QJsonDocument::Compact);
        benchmark::DoNotOptimize(out.size());
        state.PauseTiming();
        QCoreApplication::sendPostedEvents();
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

BENCHMARK(BM_PageRoundTrip)
    ->ArgNames({"items", "flat"})
    ->Args({10, 0})
    ->Args({100, 0})
    ->Args({1000, 0})
    ->Repetitions(5)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageRoundTrip)
    ->ArgNames({"items", "flat"})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainJson)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Repetitions(3)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    BenchSummary::BestOfReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Seconds per item, best round.
    auto perItem = [&reporter](const char *shape, int n, bool flat) {
        const std::string name = "BM_PageRoundTrip/items:" + std::to_string(n) + "/flat:" + std::to_string(flat ? 1 : 0);
        const double page = reporter.best(name) / n;
        const double json = reporter.best("BM_PlainJson/" + std::to_string(n)) / n;
        if (page > 0)
            std::printf("%-8s %8d %14.0f %14.0f %8.1f\n", shape, n, page * 1e9, json * 1e9, json > 0 ? page / json : 0.0);
        return page;
    };
    std::printf("\n%-8s %8s %14s %14s %8s\n", "shape", "items", "page ns/item", "json ns/item", "ratio");
    perItem("nested", 10, false);
    const double nested100 = perItem("nested", 100, false);
    const double nested1000 = perItem("nested", 1000, false);
    const double flat1000 = perItem("flat", 1000, true);
    const double flat10000 = perItem("flat", 10000, true);
    bool ok = BenchSummary::figure("per item, nested 1000 / nested 100", nested1000 / nested100, 1.5, true);
    ok = BenchSummary::figure("per item, one splitter 10000 / 1000", flat10000 / flat1000, 1.5, true) && ok;
    return ok ? 0 : 1;
}
