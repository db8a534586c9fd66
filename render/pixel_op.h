// The per-pixel operations a frame can draw with, and the span routines that
// apply one of them to a run of pixels.
#pragma once

#include <cstdint>

namespace render {

// Host modes are 0-9; the effect uses 100 for depth-tested drawing.
using BlendMode = int8_t;
constexpr BlendMode kDepthMode = 100;
constexpr BlendMode kWeightedMixMode = 7;

// Modes 2, 3 and 9 have a plain variant and one for processors with byte
// maximum, minimum and rounding average; only mode 3's results differ.
enum class PixelOp : uint8_t {
    None,  // unlisted mode: nothing is drawn
    Replace,
    Additive,
    MaximumPlain,
    MaximumExtended,
    AveragePlain,
    AverageExtended,
    SubtractColour,
    SubtractPixel,
    Multiply,
    WeightedMix,
    ExclusiveOr,
    MinimumPlain,
    MinimumExtended,
    DepthReplace,
};
constexpr int kPixelOpCount = static_cast<int>(PixelOp::DepthReplace) + 1;

// One triangle's colour, depth and mix weights, prepared once per triangle in
// the forms the span routines load directly.
struct SpanPaint {
    alignas(16) uint32_t colour[4];        // packed colour in every lane
    alignas(16) uint16_t colourWords[8];   // colour bytes widened to 16 bits, two pixels' worth
    alignas(16) uint16_t mixPixelWeight[8];  // r, weighting the pixel already there
    alignas(16) uint16_t mixColourTerm[8];   // c × (255 − r), constant per triangle
    alignas(16) uint32_t biasedDepth[4];     // depth ^ 0x80000000: unsigned order under signed compares
    uint32_t packedColour;
    uint32_t depth;
    uint8_t ratio;
};

SpanPaint makeSpanPaint(uint32_t packedColour, uint32_t depth, uint8_t ratio);

// Applies one operation to pixels[0 .. count-1] from left to right. depth is
// the matching run of depth entries, read only by DepthReplace.
using SpanFn = void (*)(uint32_t* pixels, uint32_t* depth, int32_t count, const SpanPaint& paint);

struct SpanTable {
    SpanFn span[kPixelOpCount];  // null for PixelOp::None
    const char* name;
};

const SpanTable& scalarSpans();
// Null where the build has no SSE2.
const SpanTable* sse2Spans();
// The table the renderer binds: SSE2 where available, unless the scalar
// spans were asked for.
const SpanTable& activeSpans();
// For test and benchmark programs only (the module exports nothing of it):
// binds the scalar spans from the next pixel-operation selection on.
void setScalarSpansOnly(bool scalarOnly);

}  // namespace render
