// Ten daily indices over ten years (about 36,500 rows) through the whole
// datasource path: the terminal's HXDatasourceService posts the request, the
// server parses the filter, queries SQLite, writes JSON, and the client
// parses it. The baseline reads the same rows straight from SQLite in this
// process and writes them as JSON text as they come (a second baseline does
// the same through QJsonDocument, for comparison). Prints the times and the
// ratio of the end-to-end query to the first baseline, which must stay
// within 4; the program fails when it does not.
//
//   build/bin/bench_datasource [--benchmark_min_time=2]

#include "datasourcequery.h"
#include "jsonwriter.h"
#include "seeddata.h"
#include "server.h"

#include "hxdataapi/hxdatasourceservice.h"
#include "wk/wkappconfig.h"
#include "wk/wkserviceconfig.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "benchsummary.h"

#include <cstdio>
#include <map>

namespace {

const QDate kEnd(2024, 12, 31);
const QDate kStart(2015, 1, 1);
constexpr double Limit = 4.0;

QString g_dbPath;
QList<qint64> g_ids;
int g_expectedRows = 0;

QList<qint64> tenDailyIndices()
{
    QList<qint64> ids;
    for (const auto &def : zhpserver::seed::indices()) {
        if (def.frequency == 365 && ids.size() < 10)
            ids.append(def.id);
    }
    return ids;
}

void endToEnd(benchmark::State &state)
{
    HXDataApi::HXDsRequest request;
    request.setObjName(QStringLiteral("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"));
    request.setFilter(QStringLiteral("IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= %1").arg(kStart.toString(QStringLiteral("[yyyy-MM-dd]"))));
    QJsonArray ids;
    for (qint64 id : g_ids)
        ids.append(double(id));
    request.setFilterParams({{QStringLiteral("IDX_IDS"), QVariant(ids)}});
    request.setIgnoreTotal(true);
    HXDataApi::HXDatasourceService service;
    for (auto _ : state) {
        HXDataApi::HttpJsonResult result;
        service.getData(request, result);
        if (!result.success || result.data.array().size() != g_expectedRows) {
            state.SkipWithError(qPrintable(QStringLiteral("unexpected answer: %1 rows, %2").arg(result.data.array().size()).arg(result.errorMsg)));
            break;
        }
        benchmark::DoNotOptimize(result);
    }
    state.counters["rows"] = g_expectedRows;
}

QString directSql()
{
    QStringList marks;
    for (int i = 0; i < g_ids.size(); ++i)
        marks.append(QStringLiteral("?"));
    return QStringLiteral("SELECT idx_id, publish_dt, index_val FROM idx_value"
                          " WHERE idx_id IN (%1) AND value_type = 100803 AND publish_dt >= ? ORDER BY idx_id, publish_dt")
        .arg(marks.join(QLatin1Char(',')));
}

bool runDirect(QSqlDatabase &db, QSqlQuery &q)
{
    q.setForwardOnly(true);
    q.prepare(directSql());
    for (qint64 id : g_ids)
        q.addBindValue(id);
    q.addBindValue(zhpserver::dateToMs(kStart));
    return q.exec();
}

// The baseline: the rows written as JSON text while they are read.
void directRead(benchmark::State &state)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-direct"));
    db.setDatabaseName(g_dbPath);
    if (!db.open()) {
        state.SkipWithError("cannot open the database");
        return;
    }
    const char *const keys[] = {"{\"IDX_ID\":", ",\"PUBLISH_DT\":", ",\"INDEX_VAL\":"};
    for (auto _ : state) {
        QSqlQuery q(db);
        if (!runDirect(db, q)) {
            state.SkipWithError(qPrintable(q.lastError().text()));
            break;
        }
        QByteArray json;
        json.reserve(1 << 16);
        json.append('[');
        int rows = 0;
        while (q.next()) {
            if (rows++)
                json.append(',');
            json.append(keys[0]);
            zhpserver::json::appendInteger(json, q.value(0).toLongLong());
            json.append(keys[1]);
            zhpserver::json::appendInteger(json, q.value(1).toLongLong());
            json.append(keys[2]);
            zhpserver::json::appendReal(json, q.value(2).toDouble());
            json.append('}');
        }
        json.append(']');
        if (rows != g_expectedRows) {
            state.SkipWithError("unexpected row count");
            break;
        }
        benchmark::DoNotOptimize(json);
    }
    state.counters["rows"] = g_expectedRows;
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench-direct"));
}

// For comparison only: the same through QJsonArray and QJsonDocument.
void directReadQJson(benchmark::State &state)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-qjson"));
    db.setDatabaseName(g_dbPath);
    if (!db.open()) {
        state.SkipWithError("cannot open the database");
        return;
    }
    for (auto _ : state) {
        QSqlQuery q(db);
        if (!runDirect(db, q)) {
            state.SkipWithError(qPrintable(q.lastError().text()));
            break;
        }
        QJsonArray rows;
        while (q.next()) {
            rows.append(QJsonObject{{QStringLiteral("IDX_ID"), q.value(0).toLongLong()},
                                    {QStringLiteral("PUBLISH_DT"), q.value(1).toLongLong()},
                                    {QStringLiteral("INDEX_VAL"), q.value(2).toDouble()}});
        }
        const QByteArray json = QJsonDocument(rows).toJson(QJsonDocument::Compact);
        if (rows.size() != g_expectedRows) {
            state.SkipWithError("unexpected row count");
            break;
        }
        benchmark::DoNotOptimize(json);
    }
    state.counters["rows"] = g_expectedRows;
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench-qjson"));
}

} // namespace

BENCHMARK(endToEnd)->Name("datasource/http_end_to_end")->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(directRead)->Name("datasource/direct_sqlite_json")->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(directReadQJson)->Name("datasource/direct_sqlite_qjsondocument")->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("zhp.server.info=false"));
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    g_dbPath = dir.filePath(QStringLiteral("bench.sqlite"));
    zhpserver::Server server;
    zhpserver::Options options;
    options.databasePath = g_dbPath;
    options.seed = true;
    options.seedEndDate = kEnd;
    options.logRequests = false;
    QString error;
    if (!server.start(options, &error)) {
        std::fprintf(stderr, "cannot start the server: %s\n", qPrintable(error));
        return 1;
    }
    QString token;
    if (!server.issueToken(QStringLiteral("bench"), {}, QStringLiteral("bench"), &token, &error)) {
        std::fprintf(stderr, "cannot sign in: %s\n", qPrintable(error));
        return 1;
    }
    WKAppConfig::instance()->setAccessToken(token);
    WKServiceConfig::instance()->setHttpUrl(QStringLiteral("servercfg.ini:Global"), server.baseUrl());
    g_ids = tenDailyIndices();
    g_expectedRows = g_ids.size() * int(kStart.daysTo(kEnd) + 1);

    BenchSummary::BestOfReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    server.stop();

    const double http = reporter.best("datasource/http_end_to_end");
    const double direct = reporter.best("datasource/direct_sqlite_json");
    if (http <= 0 || direct <= 0)
        return 0; // filtered out or failed; nothing to compare
    const double ratio = http / direct;
    std::printf("\n%d rows, best of 5 rounds: end to end %.1f ms, direct %.1f ms\n", g_expectedRows, http * 1e3, direct * 1e3);
    return BenchSummary::figure("end to end / direct SQLite", ratio, Limit, true) ? 0 : 1;
}
