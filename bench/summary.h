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
    // Any counter of a benchmark, median or single run as for rate; 0 if absent.
    double counter(const std::string& name, const std::string& key) const;
    void printSummary(double pixelsPerSmallTriangle) const;

private:
    // The pixman and plain-fill comparisons, when they ran.
    void printPeers() const;
    void printEngineSummary() const;

    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

}  // namespace bench
