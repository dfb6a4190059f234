#pragma once
// The console output of Google Benchmark, followed by a summary table in
// Markdown: per benchmark the time per call (the median when the run has
// repetitions), the ratio to its baseline (an export's Eigen baseline, a
// batch call's single calls), and the heap allocations per call.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : benchmark::ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    struct Measurement {
        double nanoseconds;
        double allocations;
        bool median;
    };

    void printRow(const std::string& name, const Measurement& m, const Measurement* baseline);

    std::vector<std::string> order_;
    std::map<std::string, Measurement> measurements_;
};
