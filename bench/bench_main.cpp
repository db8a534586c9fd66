// Runs every benchmark (five repetitions, medians reported unless the command
// line says otherwise), then prints the summary tables.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "frontend/version.h"

#include "bench_registry.h"
#include "render/cpu_features.h"
#include "render/triangle_sink.h"
#include "summary.h"

namespace {

// The --benchmark_filter value as given, or "" when there is none.
std::string filterOf(int argc, char** argv) {
    static const char kFlag[] = "--benchmark_filter=";
    std::string filter;
    for (int k = 1; k < argc; ++k)
        if (std::strncmp(argv[k], kFlag, sizeof kFlag - 1) == 0) filter = argv[k] + sizeof kFlag - 1;
    return filter;
}

}  // namespace

int main(int argc, char** argv) {
    if (frontend::printVersionIfAsked(argc, argv, "bench")) return 0;
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
    bench::registerEngineBenchmarks();
    bench::registerPeerBenchmarks();
    if (!bench::plainFillDrawsTheRenderersPixels()) {
        std::fprintf(stderr, "bench: the plain span fill and the renderer draw different pixels; no comparison\n");
        return 1;
    }

    bench::SummaryReporter reporter;
    if (benchmark::RunSpecifiedBenchmarks(&reporter) == 0) {
        // Google Benchmark says nothing then; empty tables would look like a result.
        std::fprintf(stderr, "bench: --benchmark_filter=%s matches no benchmark (--benchmark_list_tests lists them)\n",
                     filterOf(argc, argv).c_str());
        benchmark::Shutdown();
        return 1;
    }
    reporter.printSummary(bench::pixelsPerSmallTriangle());
    benchmark::Shutdown();
    return 0;
}
