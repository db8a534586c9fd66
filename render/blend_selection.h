// Turns the frame's blend mode into a pixel operation, cached process-wide so
// that a frame in the same mode as the last one does no work.
#pragma once

#include <cstdint>

#include "render/span_table.h"

namespace render {

struct BlendChoice {
    BlendMode mode;
    uint8_t ratio;  // mode 7 only, 0 otherwise
};

// Bits 0-7 of the host's word as a signed mode; bits 8-15 are the ratio, only
// for mode 7.
BlendChoice readBlendModeWord(uint32_t word);

struct PixelOpSelection {
    PixelOp op;
    SpanFn span;    // bound from activeSpans() when the selection changes; null for None
    TriangleFn triangle;  // the same operation a triangle at a time; null for None
    uint8_t ratio;  // the mix weights' r, valid for WeightedMix
};

// Once per frame: reselects when the cached choice is stale.
const PixelOpSelection& selectPixelOp(BlendMode mode, uint8_t ratio);

// Back to the starting state (no mode, ratio 255): for tests.
void resetPixelOpSelection();

}  // namespace render
