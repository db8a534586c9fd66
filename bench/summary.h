// Collects every run's rate while the console shows them, then prints the
// figures that matter side by side as a markdown table.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    // Items per second of a benchmark: the median when repeated, else the run.
    double rate(const std::string& name) const;
    // A user counter of a benchmark: the median when repeated, else the run's; 0 when absent.
    double counter(const std::string& name, const std::string& counterName) const;
    void printSummary(double pixelsPerSmallTriangle) const;

private:
    void printEngineSummary() const;

    using Counters = std::map<std::string, std::map<std::string, double>>;  // by benchmark, then counter
    Counters counterMedians_;
    Counters counterSingles_;
    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

}  // namespace bench
