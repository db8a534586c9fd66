// The renderer on arbitrary triangles: every vertex coordinate, colour
// component and depth any double (NaN, infinities and huge values included),
// any blend-mode word, depth mode on or off, and frame sizes from -1 to 64
// each, for a few frames in a row so that the shared depth buffer is kept,
// cleared and resized along the way.
//
// The frame sits inside a larger buffer. After every triangle nothing outside
// the frame may have changed, nor the frame's last column, which the fill
// never writes; a mode that draws nothing (host bytes 10-99, 101-127 and the
// negative ones) must leave the frame as it was. Outside depth mode the frame
// must also be what a fill dividing afresh on every row (edgeColumn) gives,
// which the renderer's stepped edges must match exactly.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/blend_selection.h"
#include "render/frame_renderer.h"
#include "render/scanline_fill.h"
#include "render/spans_scalar.h"
#include "render/triangle_sink.h"

namespace {

constexpr int32_t kMaxSide = 64;
constexpr size_t kGuardWords = 256;
constexpr int kMaxFrames = 4;
constexpr int kMaxTrianglesPerFrame = 16;

[[noreturn]] void fail(const char* what, int32_t width, int32_t height) {
    std::fprintf(stderr, "triangle_fuzzer: %s (frame %d x %d)\n", what, width, height);
    std::abort();
}

// Mostly values around the frame, sometimes any bit pattern at all.
double consumeValue(FuzzedDataProvider& input) {
    if (input.ConsumeIntegralInRange<int>(0, 7) == 0) {
        const uint64_t bits = input.ConsumeIntegral<uint64_t>();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    return input.ConsumeFloatingPointInRange<double>(-3.0, 3.0);
}

bool drawsNothing(bool zbuf, uint32_t blendModeWord) {
    if (zbuf) return false;
    const int8_t mode = static_cast<int8_t>(blendModeWord & 0xFF);
    return mode < 0 || (mode > 9 && mode != 100);
}

// Everything that must survive a triangle: the words outside the frame, the
// frame's last column and, in a mode that draws nothing, the whole frame.
void checkUntouched(const std::vector<uint32_t>& before, const std::vector<uint32_t>& after, int32_t width,
                    int32_t height, bool wholeFrame) {
    const size_t frameWords = width > 0 && height > 0 ? static_cast<size_t>(width) * static_cast<size_t>(height) : 0;
    for (size_t k = 0; k < after.size(); ++k) {
        const bool inFrame = k >= kGuardWords && k < kGuardWords + frameWords;
        if (!inFrame && before[k] != after[k]) fail("a word outside the frame changed", width, height);
    }
    if (frameWords == 0) return;
    for (int32_t row = 0; row < height; ++row) {
        const size_t last = kGuardWords + static_cast<size_t>(row) * static_cast<size_t>(width) +
                            static_cast<size_t>(width) - 1;
        if (before[last] != after[last]) fail("the last column was written", width, height);
    }
    if (wholeFrame && before != after) fail("a mode that draws nothing changed the frame", width, height);
}

// The fill as the drawing rules state it: both edge columns divided out on
// every row, the span through the scalar operation.
void fillDividingEveryRow(uint32_t* pixels, int32_t width, int32_t height, const render::TriangleVars& t,
                          uint32_t blendModeWord) {
    if (width <= 0 || height <= 0) return;
    const render::BlendChoice choice = render::readBlendModeWord(blendModeWord);
    const render::PixelOp op = render::selectPixelOp(choice.mode, choice.ratio).op;
    const render::SpanFn span = render::scalarSpans().span[static_cast<int>(op)];
    const render::SpanPaint paint = render::makeSpanPaint(render::packColour(t.red1, t.green1, t.blue1), 0, choice.ratio);
    const render::FrameScales scales = render::frameScales(width, height);
    const render::RowOrderedTriangle o = render::orderByRow({render::toPixel(t.x1, scales.x), render::toPixel(t.y1, scales.y)},
                                                            {render::toPixel(t.x2, scales.x), render::toPixel(t.y2, scales.y)},
                                                            {render::toPixel(t.x3, scales.x), render::toPixel(t.y3, scales.y)});
    auto row = [&](int64_t y, int32_t e1, int32_t e2) {
        int32_t left = e1 < e2 ? e1 : e2, right = e1 < e2 ? e2 : e1;
        if (right < 0 || left >= width) return;
        if (right > width - 1) right = width - 1;
        if (left < 0) left = 0;
        if (right > left) span(pixels + y * width + left, nullptr, right - left, paint);
    };
    auto clampRow = [height](int32_t v) -> int64_t { return v < -1 ? -1 : (v > height ? height : v); };
    for (int64_t y = clampRow(o.a.y); y <= clampRow(o.b.y); ++y)
        if (y >= 0 && y < height && y != o.a.y && o.a.y != o.b.y)
            row(y, render::edgeColumn(o.a, o.b, static_cast<int32_t>(y)), render::edgeColumn(o.a, o.c, static_cast<int32_t>(y)));
    for (int64_t y = clampRow(o.b.y) + 1; y <= clampRow(o.c.y); ++y)
        if (y >= 0 && y < height)
            row(y, render::edgeColumn(o.b, o.c, static_cast<int32_t>(y)), render::edgeColumn(o.a, o.c, static_cast<int32_t>(y)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<uint32_t> buffer(kGuardWords + kMaxSide * kMaxSide + kGuardWords);
    uint32_t seed = input.ConsumeIntegral<uint32_t>();
    for (uint32_t& word : buffer) word = seed = seed * 1664525u + 1013904223u;

    // Each input starts without a depth buffer, so that a finding replays alone.
    render::releaseSharedDepth();
    render::TriangleSink& sink = render::frameRenderer();
    for (int frameNumber = 0; frameNumber < kMaxFrames && input.remaining_bytes() > 0; ++frameNumber) {
        const int32_t width = input.ConsumeIntegralInRange<int32_t>(-1, kMaxSide);
        const int32_t height = input.ConsumeIntegralInRange<int32_t>(-1, kMaxSide);
        const uint32_t blendModeWord = input.ConsumeIntegral<uint32_t>();
        const bool zbuf = input.ConsumeBool();
        const bool zbclear = input.ConsumeBool();
        const int triangles = input.ConsumeIntegralInRange<int>(0, kMaxTrianglesPerFrame);
        const render::Frame frame = {buffer.data() + kGuardWords, width, height};

        sink.chooseMode(frame, zbuf, zbclear, &blendModeWord);
        sink.beginTriangles(frame);
        for (int k = 0; k < triangles; ++k) {
            render::TriangleVars triangle;
            for (double* value : {&triangle.x1, &triangle.y1, &triangle.x2, &triangle.y2, &triangle.x3, &triangle.y3,
                                  &triangle.red1, &triangle.green1, &triangle.blue1})
                *value = consumeValue(input);
            // Depth spans 0 to 40000 and beyond.
            triangle.z1 = consumeValue(input) * 20000.0;
            const std::vector<uint32_t> before = buffer;
            sink.drawTriangle(triangle);
            checkUntouched(before, buffer, width, height, drawsNothing(zbuf, blendModeWord));
            // (A host byte of 100 without zbuf draws nothing, with no depth buffer.)
            if (!zbuf && !drawsNothing(zbuf, blendModeWord) && (blendModeWord & 0xFF) != 100) {
                std::vector<uint32_t> expected = before;
                fillDividingEveryRow(expected.data() + kGuardWords, width, height, triangle, blendModeWord);
                if (expected != buffer) fail("the stepped edges left the row-by-row division's pixels", width, height);
            }
        }
    }
    return 0;
}
