#include "render/scanline_fill.h"

#include <algorithm>
#include <cstddef>

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

namespace {

int64_t clampRow(int32_t row, int32_t height) { return std::min<int64_t>(std::max<int32_t>(row, -1), height); }

// The span's right end is exclusive and at most the last column, so the last
// column is never written.
void paintRow(const FillTarget& target, int32_t y, int32_t edge1, int32_t edge2, SpanFn span,
              const SpanPaint& paint) {
    int32_t left = std::min(edge1, edge2);
    int32_t right = std::max(edge1, edge2);
    if (right < 0 || left >= target.width) return;
    right = std::min(right, target.width - 1);
    left = std::max(left, 0);
    if (right <= left) return;
    const size_t offset = static_cast<size_t>(y) * static_cast<size_t>(target.width) + static_cast<size_t>(left);
    span(target.pixels + offset, target.depth != nullptr ? target.depth + offset : nullptr, right - left, paint);
}

}  // namespace

void fillTriangle(const FillTarget& target, const RowOrderedTriangle& triangle, SpanFn span, const SpanPaint& paint) {
    if (target.width <= 0 || target.height <= 0 || span == nullptr) return;
    const PixelVertex& a = triangle.a;
    const PixelVertex& b = triangle.b;
    const PixelVertex& c = triangle.c;
    const int64_t lastRow = static_cast<int64_t>(target.height) - 1;

    // Upper half, down to the middle vertex's row. A flat top (a.y == b.y,
    // which a.y == c.y implies) has none, and the top row itself is skipped.
    if (a.y != b.y) {
        int64_t first = std::max<int64_t>(clampRow(a.y, target.height), 0);
        if (first == a.y) ++first;
        const int64_t last = std::min(clampRow(b.y, target.height), lastRow);
        for (int64_t y = first; y <= last; ++y) {
            const int32_t row = static_cast<int32_t>(y);
            paintRow(target, row, edgeColumn(a, b, row), edgeColumn(a, c, row), span, paint);
        }
    }

    // Lower half: every such row lies below b and at most at c, so neither
    // divisor is zero.
    const int64_t first = std::max<int64_t>(clampRow(b.y, target.height) + 1, 0);
    const int64_t last = std::min(clampRow(c.y, target.height), lastRow);
    for (int64_t y = first; y <= last; ++y) {
        const int32_t row = static_cast<int32_t>(y);
        paintRow(target, row, edgeColumn(b, c, row), edgeColumn(a, c, row), span, paint);
    }
}

}  // namespace render
