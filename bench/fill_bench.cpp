// Full-frame fill rate of every mode: through the renderer (vector spans),
// with the scalar spans, and the naive way with a call per pixel.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_frames.h"
#include "bench_registry.h"
#include "naive_fill.h"
#include "render/blend_selection.h"
#include "render/depth_buffer.h"
#include "render/frame_renderer.h"
#include "render/scanline_fill.h"
#include "render/spans_scalar.h"
#include "render/triangle_setup.h"
#include "render/triangle_sink.h"

namespace bench {

const ModeUnderTest kModes[11] = {
    {"mode0", 0, false},      {"mode1", 1, false}, {"mode2", 2, false}, {"mode3", 3, false},
    {"mode4", 4, false},      {"mode5", 5, false}, {"mode6", 6, false}, {"mode7", 0x8007, false},
    {"mode8", 8, false},      {"mode9", 9, false}, {"depth", 0, true},
};

namespace {

// Covers every row and every column but the last: h × (w − 1) pixels.
const render::TriangleVars kCover = {-1, -5, 5, 1, -5, 1, 0.9, 0.5, 0.2, 1.0};

int64_t coveredPixels(const FrameSize& size) { return static_cast<int64_t>(size.height) * (size.width - 1); }

void fillThroughRenderer(benchmark::State& state, FrameSize size, ModeUnderTest mode) {
    const render::Frame frame = {frameBuffer(), size.width, size.height};
    render::TriangleSink& sink = render::frameRenderer();
    sink.chooseMode(frame, mode.depth, true, &mode.blendWord);
    for (auto _ : state) {
        sink.beginTriangles(frame);
        sink.drawTriangle(kCover);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * coveredPixels(size));
}

// The renderer's own setup, then fillTriangle with another span routine.
void fillWithSpan(benchmark::State& state, FrameSize size, ModeUnderTest mode, bool naive) {
    const render::BlendChoice choice = mode.depth ? render::BlendChoice{render::kDepthMode, 0}
                                                  : render::readBlendModeWord(mode.blendWord);
    const render::PixelOpSelection selection = render::selectPixelOp(choice.mode, choice.ratio);
    uint32_t* depth = mode.depth ? render::prepareDepth(size.width, size.height, true) : nullptr;
    const render::FillTarget target = {frameBuffer(), depth, size.width, size.height};
    const render::FrameScales scales = render::frameScales(size.width, size.height);
    const render::RowOrderedTriangle triangle = render::orderByRow(
        {render::toPixel(kCover.x1, scales.x), render::toPixel(kCover.y1, scales.y)},
        {render::toPixel(kCover.x2, scales.x), render::toPixel(kCover.y2, scales.y)},
        {render::toPixel(kCover.x3, scales.x), render::toPixel(kCover.y3, scales.y)});
    const render::SpanPaint paint = render::makeSpanPaint(
        render::packColour(kCover.red1, kCover.green1, kCover.blue1), render::depthValue(kCover.z1), selection.ratio);
    render::SpanFn span = render::scalarSpans().span[static_cast<int>(selection.op)];
    if (naive) {
        useNaiveOperation(selection.op);
        span = naiveSpan;
    }
    for (auto _ : state) {
        render::fillTriangle(target, triangle, span, paint);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * coveredPixels(size));
}

}  // namespace

void registerFillBenchmarks() {
    for (const FrameSize& size : kFrameSizes) {
        for (const ModeUnderTest& mode : kModes) {
            const std::string suffix = std::string(size.name) + "/" + mode.name;
            benchmark::RegisterBenchmark(("fill/" + suffix).c_str(), fillThroughRenderer, size, mode);
            benchmark::RegisterBenchmark(("scalar/" + suffix).c_str(), fillWithSpan, size, mode, false);
            benchmark::RegisterBenchmark(("naive/" + suffix).c_str(), fillWithSpan, size, mode, true);
        }
    }
}

}  // namespace bench
