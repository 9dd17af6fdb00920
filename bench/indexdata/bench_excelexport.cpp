// Writing a table of 20,000 rows by 12 columns (numbers, integers, text and
// missing values) to a workbook, against openpyxl writing the same cells
// with the same formats. Fails when the export is not at least 5 times faster.
#include "indexdata/cpindexdataservice.h"

#include "benchsummary.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <cstdio>
#include <limits>

namespace {

constexpr int kRows = 20000;
constexpr int kColumns = 12;

// The same cells as the openpyxl script's value().
QVariant cellValue(int r, int c)
{
    switch (c % 4) {
    case 0:
        return (r * 12 + c) * 1.25 + 0.3;
    case 1:
        return r * 7 + c;
    case 2:
        return QStringLiteral("指标%1-%2").arg(r).arg(c);
    default:
        return r % 5 == 0 ? QVariant(std::numeric_limits<double>::lowest()) : QVariant(r * 0.5);
    }
}

QStandardItemModel *makeModel()
{
    auto *model = new QStandardItemModel(kRows, kColumns);
    for (int c = 0; c < kColumns; ++c)
        model->setHeaderData(c, Qt::Horizontal, QStringLiteral("列%1").arg(c));
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            auto *item = new QStandardItem;
            item->setData(cellValue(r, c), Qt::UserRole + 1);
            model->setItem(r, c, item);
        }
    }
    return model;
}

QStandardItemModel *s_model = nullptr;
QString s_dir;
double s_exportSeconds = 0;

void BM_ExportToExcel(benchmark::State &state)
{
    const QString path = s_dir + QStringLiteral("/export.xlsx");
    for (auto _ : state) {
        if (!HXCPControls::CPIndexDataService::exportToExcel(s_model, path))
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportToExcel)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    s_dir = dir.path();
    std::unique_ptr<QStandardItemModel> model(makeModel());
    s_model = model.get();

    benchmark::Initialize(&argc, argv);
    BenchSummary::BestOfReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    s_exportSeconds = reporter.best("BM_ExportToExcel");
    benchmark::Shutdown();

    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(OPENPYXL_SCRIPT), QString::number(kRows), QString::number(kColumns),
                  dir.filePath(QStringLiteral("openpyxl.xlsx"))});
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::fprintf(stderr, "openpyxl run failed: %s\n", python.readAllStandardError().constData());
        return 2;
    }
    bool ok = false;
    const double openpyxlSeconds = python.readAllStandardOutput().trimmed().toDouble(&ok);
    if (!ok || s_exportSeconds <= 0) {
        std::fprintf(stderr, "no timing to compare\n");
        return 2;
    }
    const double ratio = openpyxlSeconds / s_exportSeconds;
    std::printf("exportToExcel %d x %d, best of 5 rounds: %.3f s\nopenpyxl (write-only) same cells: %.3f s\n",
                kRows, kColumns, s_exportSeconds, openpyxlSeconds);
    return BenchSummary::figure("openpyxl / exportToExcel", ratio, 5.0, false) ? 0 : 1;
}
