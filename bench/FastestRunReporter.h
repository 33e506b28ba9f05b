// The console table, keeping each benchmark's fastest CPU time a run for the
// ratios a program prints after it: other work on the machine only slows
// runs down, so with repetitions the fastest counts.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
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
