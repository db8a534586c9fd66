#include "render/scanline_fill.h"

#include <cstddef>

#include "render/triangle_walk.h"

namespace render {

// In 32-bit arithmetic the product can wrap for vertices far outside the
// frame. Done as an unsigned 64-bit magnitude it cannot: |run| and walked are
// both below 2^32. The result lies between from.x and to.x, so it always fits
// 32 bits, and equals the 32-bit result whenever that one does not wrap.
int32_t edgeColumn(PixelVertex from, PixelVertex to, int32_t y) {
    const int64_t run = static_cast<int64_t>(to.x) - from.x;
    const uint64_t rise = static_cast<uint64_t>(static_cast<int64_t>(to.y) - from.y);
    const uint64_t walked = static_cast<uint64_t>(static_cast<int64_t>(y) - from.y);
    const uint64_t magnitude = static_cast<uint64_t>(run < 0 ? -run : run) * walked / rise;
    const int64_t step = run < 0 ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return static_cast<int32_t>(from.x + step);
}

void fillTriangle(const FillTarget& target, const RowOrderedTriangle& triangle, SpanFn span, const SpanPaint& paint) {
    if (span == nullptr) return;
    walkTriangle(target, triangle,
                 [span, &paint](uint32_t* pixels, uint32_t* depth, int32_t count) { span(pixels, depth, count, paint); });
}

}  // namespace render
