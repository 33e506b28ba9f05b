// The console table, keeping each benchmark's fastest CPU time a run for the
// ratios a program prints after it: other work on the machine only slows
// runs down, so with repetitions the fastest counts.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <unistd.h>
#include <vector>

class FastestRunReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal.
    FastestRunReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const std::string name = run.run_name.str();
            const double time = run.GetAdjustedCPUTime();
            if (!m_time.count(name) || time < m_time[name]) m_time[name] = time;
        }
    }

protected:
    std::map<std::string, double> m_time;
};

// The console table, then each benchmark's fastest time over its
// yardstick's, one line a pair.
class PairRatioReporter : public FastestRunReporter {
public:
    // Benchmark and yardstick names.
    typedef std::vector<std::pair<std::string, std::string>> Pairs;
    explicit PairRatioReporter(Pairs pairs) : m_pairs(std::move(pairs)) {}
    void Finalize() override
    {
        for (const auto& pair : m_pairs) {
            if (!m_time.count(pair.first) || !m_time.count(pair.second) || m_time[pair.second] <= 0) continue;
            char line[160];
            snprintf(line, sizeof line, "%-16s %6.2f x %s\n", pair.first.c_str(), m_time[pair.first] / m_time[pair.second],
                     pair.second.c_str());
            GetOutputStream() << line;
        }
        ConsoleReporter::Finalize();
    }

private:
    Pairs m_pairs;
};
