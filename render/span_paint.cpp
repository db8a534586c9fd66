#include "render/span_paint.h"

namespace render {

SpanPaint makeSpanPaint(uint32_t packedColour, uint32_t depth, uint8_t ratio) {
    SpanPaint paint = {};
    paint.packedColour = packedColour;
    paint.depth = depth;
    paint.ratio = ratio;
    for (int lane = 0; lane < 4; ++lane) {
        paint.colour[lane] = packedColour;
        paint.biasedDepth[lane] = depth ^ 0x80000000u;
    }
    for (int word = 0; word < 8; ++word) {
        const uint16_t c = static_cast<uint16_t>((packedColour >> (8 * (word % 4))) & 0xFFu);
        paint.colourWords[word] = c;
        paint.mixPixelWeight[word] = ratio;
        paint.mixColourTerm[word] = static_cast<uint16_t>(c * (255u - ratio));
    }
    return paint;
}

}  // namespace render
