// One triangle's colour, depth and mix weights in the forms the span routines
// load directly.
#pragma once

#include <cstdint>

namespace render {

// Prepared once per triangle.
struct SpanPaint {
    alignas(16) uint32_t colour[4];        // packed colour in every lane
    alignas(16) uint32_t biasedDepth[4];     // depth ^ 0x80000000: unsigned order under signed compares
    uint32_t packedColour;
    uint32_t depth;
    uint8_t ratio;  // mode 7's r; the span routines form their mix terms from it
};

SpanPaint makeSpanPaint(uint32_t packedColour, uint32_t depth, uint8_t ratio);

}  // namespace render
