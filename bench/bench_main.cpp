// Runs every benchmark (five repetitions, medians reported unless the command
// line says otherwise), then prints the summary tables.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_registry.h"
#include "render/cpu_features.h"
#include "render/triangle_sink.h"
#include "summary.h"

int main(int argc, char** argv) {
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    static char minTime[] = "--benchmark_min_time=0.2";
    std::vector<char*> args = {argv[0], repetitions, aggregatesOnly, minTime};
    args.insert(args.end(), argv + 1, argv + argc);  // later flags win
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    render::refreshCpuFlag();
    bench::registerBandwidthBenchmarks();
    bench::registerFillBenchmarks();
    bench::registerSmallTriangleBenchmarks();
    bench::registerLanguageBenchmarks();

    bench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary(bench::pixelsPerSmallTriangle());
    benchmark::Shutdown();
    return 0;
}
