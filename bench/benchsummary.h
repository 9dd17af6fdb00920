#pragma once

// What every benchmark program shares: the best time of each benchmark over
// its repetitions (a machine busy with other work only ever slows a round
// down, so the fastest round is the fairest), and one line per judged figure
// that scripts/run-bench.sh gathers into the summary table.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace BenchSummary {

// Keeps the fastest real time per iteration, in seconds, of every benchmark,
// by function name and arguments ("BM_Page/items:10").
class BestOfReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> seconds;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            const double s = run.GetAdjustedRealTime() * unitSeconds(run.time_unit);
            const std::string name = run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
            auto it = seconds.find(name);
            if (it == seconds.end() || s < it->second)
                seconds[name] = s;
        }
    }

    double best(const std::string &name) const
    {
        const auto it = seconds.find(name);
        return it == seconds.end() ? 0.0 : it->second;
    }

private:
    static double unitSeconds(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond: return 1e-9;
        case benchmark::kMicrosecond: return 1e-6;
        case benchmark::kMillisecond: return 1e-3;
        default: return 1.0;
        }
    }
};

// Prints one figure that is reported but not judged.
inline void info(const char *name, double value)
{
    std::printf("SUMMARY\t%s\t%.2f\t-\t-\n", name, value);
    std::fflush(stdout);
}

// Prints one judged figure and returns whether it is within its limit.
inline bool figure(const char *name, double value, double limit, bool atMost)
{
    const bool ok = value > 0 && (atMost ? value <= limit : value >= limit);
    std::printf("SUMMARY\t%s\t%.2f\t%s %.2f\t%s\n", name, value, atMost ? "<=" : ">=", limit, ok ? "ok" : "FAIL");
    std::fflush(stdout);
    return ok;
}

} // namespace BenchSummary
