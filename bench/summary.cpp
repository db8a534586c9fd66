#include "summary.h"

#include <cstdio>

#include "bench_frames.h"
#include "bench_registry.h"

namespace bench {

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const std::string name = run.run_name.function_name;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type == Run::RT_Aggregate && !median) continue;
        for (const auto& [key, counter] : run.counters) (median ? medians_ : singles_)[name + "#" + key] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

double SummaryReporter::rate(const std::string& name) const { return counter(name, "items_per_second"); }

double SummaryReporter::counter(const std::string& name, const std::string& key) const {
    const std::string entry = name + "#" + key;
    const auto median = medians_.find(entry);
    if (median != medians_.end()) return median->second;
    const auto single = singles_.find(entry);
    return single != singles_.end() ? single->second : 0.0;
}

namespace {

double ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

}  // namespace

void SummaryReporter::printPeers() const {
    if (counter("peer_triangles/pixman", "ratio") == 0 && counter("pixman/640x480/mode1", "ratio") == 0) return;
    std::printf("\n### Against pixman, same process, interleaved (ratio above 1: ours faster)\n\n");
    std::printf("| mode | size | ours (Mpixel/s) | pixman (Mpixel/s) | pixman op | ratio |\n");
    std::printf("|------|------|----------------:|------------------:|-----------|------:|\n");
    for (const FrameSize& size : kFrameSizes) {
        for (const ModeUnderTest& mode : kModes) {
            const std::string name = std::string("pixman/") + size.name + "/" + mode.name;
            if (counter(name, "ratio") == 0) continue;
            const bool replaceOnly = !mode.depth && mode.blendWord == 0;
            std::printf("| %s | %s | %.0f | %.0f | %s | %.2fx |\n", mode.name, size.name,
                        counter(name, "ours_per_second") / 1e6, counter(name, "peer_per_second") / 1e6,
                        replaceOnly ? "SRC" : "ADD", counter(name, "ratio"));
        }
    }
    std::printf("\n| small triangles (10,000 at 640x480, additive, precomputed) | ours (M/s) | peer (M/s) | ratio |\n");
    std::printf("|---|---:|---:|---:|\n");
    const struct {
        const char* name;
        const char* label;
    } peers[] = {{"peer_triangles/plain_sse2", "plain per-row SSE2 span fill"},
                 {"peer_triangles/pixman", "pixman_composite_triangles, one call each"}};
    for (const auto& peer : peers) {
        if (counter(peer.name, "ratio") == 0) continue;
        std::printf("| vs %s | %.2f | %.2f | %.2fx |\n", peer.label, counter(peer.name, "ours_per_second") / 1e6,
                    counter(peer.name, "peer_per_second") / 1e6, counter(peer.name, "ratio"));
    }
}

void SummaryReporter::printSummary(double pixelsPerSmallTriangle) const {
    printPeers();
    for (const FrameSize& size : kFrameSizes) {
        const std::string frame = size.name;
        const double memcpyRate = rate("memcpy/" + frame);
        const double memsetRate = rate("memset/" + frame);
        std::printf("\n### Full-frame fill at %s (Mpixel/s)\n\n", size.name);
        std::printf("memcpy: %.0f Mpixel/s (%.1f GB/s), memset: %.0f Mpixel/s (%.1f GB/s)\n\n", memcpyRate / 1e6,
                    memcpyRate * 4 / 1e9, memsetRate / 1e6, memsetRate * 4 / 1e9);
        std::printf("| mode | SSE2 spans | vs memcpy/memset | scalar spans | call per pixel | SSE2 speed-up |\n");
        std::printf("|------|-----------:|-----------------:|-------------:|---------------:|--------------:|\n");
        for (const ModeUnderTest& mode : kModes) {
            const std::string suffix = frame + "/" + mode.name;
            const double fast = rate("fill/" + suffix);
            const bool replaceOnly = !mode.depth && mode.blendWord == 0;
            const double bandwidth = replaceOnly ? memsetRate : memcpyRate;
            const double naive = rate("naive/" + suffix);
            std::printf("| %s | %.0f | %.2f (%s) | %.0f | %.0f | %.1fx |\n", mode.name, fast / 1e6,
                        ratio(fast, bandwidth), replaceOnly ? "memset" : "memcpy", rate("scalar/" + suffix) / 1e6,
                        naive / 1e6, ratio(fast, naive));
        }
    }
    const double drawn = rate("small_triangles/draw");
    const double scriptsOnly = rate("small_triangles/scripts_only");
    std::printf("\n### Small triangles (10,000 per frame, 640x480, stand-in host)\n\n");
    std::printf("%.2f million triangles/s drawn (%.0f pixels each), %.2f million/s with drawing switched off:\n",
                drawn / 1e6, pixelsPerSmallTriangle, scriptsOnly / 1e6);
    std::printf("scripts and frame driver take %.0f%% of the time.\n", 100.0 * ratio(drawn, scriptsOnly));

    // Items are loop iterations, or lines for the compiler.
    const auto nanoseconds = [this](const char* name) { return ratio(1e9, rate(name)); };
    const double empty = nanoseconds("language/empty_loop");
    const double index = nanoseconds("language/index_loop");
    std::printf("\n### Stand-in language\n\n");
    std::printf("| | ns |\n|---|---:|\n");
    std::printf("| repeat, empty body, per iteration | %.2f |\n", empty);
    std::printf("| repeat, body of 6 arithmetic operations, per iteration | %.2f |\n",
                nanoseconds("language/arithmetic_loop"));
    std::printf("| while, condition and one addition, per iteration | %.2f |\n", nanoseconds("language/while_loop"));
    std::printf("| memory read (mem[k] less k), per read | %.2f |\n", nanoseconds("language/memory_read_loop") - index);
    std::printf("| memory write with its constant (mem[k] = 1 less k), per write | %.2f |\n",
                nanoseconds("language/memory_write_loop") - index);
    std::printf("| compiling a 1,000-line script, per line | %.0f |\n", nanoseconds("language/compile_1000_lines"));
    printEngineSummary();
}

void SummaryReporter::printEngineSummary() const {
    // The peer that is not installed here: its time as a multiple of native
    // C++ on the same shapes, measured on this machine's kind before.
    struct Goal {
        const char* shape;
        double exprtkTimesNative;
    };
    static const Goal kGoals[] = {{"S1", 1.56}, {"S2", 3.7}};
    constexpr double kGoalOfExprtk = 0.8;  // the stand-in at most 0.8x ExprTk's time
    std::printf("\n### Script engine against native C++ and muparser (ns per run, medians of interleaved rounds)\n\n");
    std::printf("| shape | native C++ | stand-in | muparser | stand-in x native | muparser x native | "
                "stand-in / muparser | goal (0.8 x ExprTk) | met |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|:---:|\n");
    for (const Goal& goal : kGoals) {
        const std::string name = std::string("engine/") + goal.shape;
        const double standinTimes = counter(name, "standin_x_native");
        const double peerTimes = counter(name, "muparser_x_native");
        const double target = kGoalOfExprtk * goal.exprtkTimesNative;
        std::printf("| %s | %.1f | %.1f | %.1f | %.2fx | %.2fx | %.2f | <= %.2fx | %s |\n", goal.shape,
                    counter(name, "native_ns"), counter(name, "standin_ns"), counter(name, "muparser_ns"), standinTimes,
                    peerTimes, ratio(standinTimes, peerTimes), target, standinTimes <= target ? "yes" : "no");
    }
    std::printf("\nexecuteCode of an empty script: %.2f ns a call\n", ratio(1e9, rate("engine/execute_empty")));
}

}  // namespace bench
