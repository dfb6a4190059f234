#include "SummaryReporter.h"

#include <cstdio>
#include <ostream>

namespace {

// Each measured family and the family of its baselines: an export against
// its Eigen baseline, a batch call against the same frames one call each,
// a batch through the drift monitor against the plain batch, whole frame
// records in one call against the same frames one call each, the session
// writer's numbers against std::to_chars.
const std::pair<std::string, std::string> kBaselines[] = {
    {"export/", "eigen/"}, {"batch/", "single/"}, {"drift/", "batch/"}, {"frames/", "single/"}, {"write/", "to_chars/"}};

// The baseline's name of benchmark `name`, or "" when it has none.
std::string baselineOf(const std::string& name)
{
    for (const auto& [measured, baseline] : kBaselines)
        if (name.compare(0, measured.size(), measured) == 0) return baseline + name.substr(measured.size());
    return "";
}

// A baseline only: listed beside what it is the baseline of, not on its own.
bool isBaselineOnly(const std::string& name)
{
    for (const auto& pair : kBaselines)
        if (name.compare(0, pair.second.size(), pair.second) == 0) return baselineOf(name).empty();
    return false;
}

double nanosecondsPerCall(const benchmark::BenchmarkReporter::Run& run)
{
    return run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
}

double allocationsPerCall(const benchmark::BenchmarkReporter::Run& run)
{
    const auto found = run.counters.find("allocs");
    return found == run.counters.end() ? 0.0 : found->second.value;
}

std::string formatted(const char* format, double value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& runs)
{
    benchmark::ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Aggregate && !median) continue;
        const std::string name = run.run_name.str();
        const auto found = measurements_.find(name);
        if (found == measurements_.end()) order_.push_back(name);
        else if (found->second.median && !median) continue;
        measurements_[name] = {nanosecondsPerCall(run), allocationsPerCall(run), median};
    }
}

void SummaryReporter::Finalize()
{
    std::ostream& out = GetOutputStream();
    out << "\n| benchmark | ns/call | baseline ns/call | ratio | allocations/call |\n"
        << "|---|---:|---:|---:|---:|\n";
    for (const std::string& name : order_) {
        if (isBaselineOnly(name)) continue;
        const auto found = measurements_.find(baselineOf(name));
        printRow(name, measurements_.at(name), found != measurements_.end() ? &found->second : nullptr);
    }
    benchmark::ConsoleReporter::Finalize();
}

void SummaryReporter::printRow(const std::string& name, const Measurement& m, const Measurement* baseline)
{
    const std::string none = "-";
    GetOutputStream() << "| " << name << " | " << formatted("%.1f", m.nanoseconds) << " | "
                      << (baseline ? formatted("%.1f", baseline->nanoseconds) : none) << " | "
                      << (baseline ? formatted("%.2f", m.nanoseconds / baseline->nanoseconds) : none) << " | "
                      << formatted("%g", m.allocations) << " |\n";
}
