// One triangle's colour, depth and mix weights in the forms the span routines
// load directly.
#pragma once

#include <cstdint>

namespace render {

// Prepared once per triangle.
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

}  // namespace render
