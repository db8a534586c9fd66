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
    return paint;
}

}  // namespace render
