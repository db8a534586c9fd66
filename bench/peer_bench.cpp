// Our fills and triangles beside pixman's, in one process and interleaved:
// every iteration times ours, then the peer, on the same buffer, so that both
// see the same machine load; the ratio reported is the median of the
// iterations' ratios (above 1: ours is faster).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "bench_frames.h"
#include "bench_registry.h"
#include "pixman_peer.h"
#include "plain_span_fill.h"
#include "render/frame_renderer.h"
#include "render/triangle_setup.h"
#include "small_triangle_set.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

// Covers every row and every column but the last, as the fill benchmarks do.
const render::TriangleVars kCover = {-1, -5, 5, 1, -5, 1, 0.9, 0.5, 0.2, 1.0};

double seconds(Clock::time_point from, Clock::time_point to) { return std::chrono::duration<double>(to - from).count(); }

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// Times `ours` and `peer` alternately; counters: each side's items per second
// and the median of ours-over-peer speed ratios.
void interleaved(benchmark::State& state, const std::function<void()>& ours, const std::function<void()>& peer,
                 double items) {
    std::vector<double> ratios;
    double oursTime = 0, peerTime = 0;
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        ours();
        benchmark::ClobberMemory();
        const Clock::time_point t1 = Clock::now();
        peer();
        benchmark::ClobberMemory();
        const Clock::time_point t2 = Clock::now();
        oursTime += seconds(t0, t1);
        peerTime += seconds(t1, t2);
        if (seconds(t0, t1) > 0) ratios.push_back(seconds(t1, t2) / seconds(t0, t1));
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ours_per_second"] = oursTime > 0 ? n * items / oursTime : 0.0;
    state.counters["peer_per_second"] = peerTime > 0 ? n * items / peerTime : 0.0;
    state.counters["ratio"] = median(ratios);
}

void fillAgainstPixman(benchmark::State& state, FrameSize size, ModeUnderTest mode) {
    const render::Frame frame = {frameBuffer(), size.width, size.height};
    render::TriangleSink& sink = render::frameRenderer();
    PixmanTarget target(frameBuffer(), size.width, size.height);
    const uint32_t colour = 0xFF000000u | render::packColour(kCover.red1, kCover.green1, kCover.blue1);
    const PixmanOp op = !mode.depth && mode.blendWord == 0 ? PixmanOp::Src : PixmanOp::Add;
    sink.chooseMode(frame, mode.depth, true, &mode.blendWord);
    interleaved(
        state,
        [&] {
            sink.beginTriangles(frame);
            sink.drawTriangle(kCover);
        },
        [&] { target.compositeSolid(op, colour, size.width - 1, size.height); },
        static_cast<double>(size.height) * (size.width - 1));
}

struct SmallFrame {
    SmallFrame() : pixels(static_cast<size_t>(kSmallWidth) * kSmallHeight, 0) {}
    std::vector<uint32_t> pixels;
    render::Frame frame() { return {pixels.data(), kSmallWidth, kSmallHeight}; }
};

// The renderer alone on precomputed values: no scripts, no frame driver.
void drawWithRenderer(render::Frame frame) {
    static const uint32_t kAdditive = 1;
    render::TriangleSink& sink = render::frameRenderer();
    sink.chooseMode(frame, false, false, &kAdditive);
    sink.beginTriangles(frame);
    for (const render::TriangleVars& t : smallTriangleSet()) sink.drawTriangle(t);
}

void drawPlain(render::Frame frame) {
    for (const render::TriangleVars& t : smallTriangleSet()) plainAdditiveTriangle(frame.pixels, frame.width, frame.height, t);
}

// Pixel vertices as the renderer computes them, one pixman call per triangle.
struct PixmanTriangle {
    int32_t xy[6];
    uint32_t colour;
};

std::vector<PixmanTriangle> pixmanTriangles() {
    const render::FrameScales scales = render::frameScales(kSmallWidth, kSmallHeight);
    std::vector<PixmanTriangle> out;
    for (const render::TriangleVars& t : smallTriangleSet()) {
        out.push_back({{render::toPixel(t.x1, scales.x), render::toPixel(t.y1, scales.y), render::toPixel(t.x2, scales.x),
                        render::toPixel(t.y2, scales.y), render::toPixel(t.x3, scales.x), render::toPixel(t.y3, scales.y)},
                       0xFF000000u | render::packColour(t.red1, t.green1, t.blue1)});
    }
    return out;
}

void trianglesAgainstPlain(benchmark::State& state) {
    SmallFrame ours, plain;
    interleaved(state, [&] { drawWithRenderer(ours.frame()); }, [&] { drawPlain(plain.frame()); }, kSmallTriangleCount);
}

void trianglesAgainstPixman(benchmark::State& state) {
    SmallFrame ours, peer;
    PixmanTarget target(peer.pixels.data(), kSmallWidth, kSmallHeight);
    const std::vector<PixmanTriangle> triangles = pixmanTriangles();
    interleaved(
        state, [&] { drawWithRenderer(ours.frame()); },
        [&] {
            for (const PixmanTriangle& t : triangles) target.compositeTriangle(PixmanOp::Add, t.colour, t.xy);
        },
        kSmallTriangleCount);
}

}  // namespace

bool plainFillDrawsTheRenderersPixels() {
    SmallFrame ours, plain;
    drawWithRenderer(ours.frame());
    drawPlain(plain.frame());
    return ours.pixels == plain.pixels;
}

void registerPeerBenchmarks() {
    for (const FrameSize& size : kFrameSizes)
        for (const ModeUnderTest& mode : kModes)
            benchmark::RegisterBenchmark(("pixman/" + std::string(size.name) + "/" + mode.name).c_str(), fillAgainstPixman,
                                         size, mode);
    benchmark::RegisterBenchmark("peer_triangles/plain_sse2", trianglesAgainstPlain);
    benchmark::RegisterBenchmark("peer_triangles/pixman", trianglesAgainstPixman);
}

}  // namespace bench
