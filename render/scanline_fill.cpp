#include "render/scanline_fill.h"

#include <algorithm>
#include <cstddef>

#include "render/edge_walk.h"

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

// One frame row and its depth row (null outside depth mode), advanced by the
// row stride as the walk goes down.
struct RowCursor {
    uint32_t* pixels;
    uint32_t* depth;
    size_t stride;
    int32_t width;

    // The span's right end is exclusive and at most the last column, so the
    // last column is never written.
    void paint(int32_t edge1, int32_t edge2, SpanFn span, const SpanPaint& paint) const {
        int32_t left = std::min(edge1, edge2);
        int32_t right = std::max(edge1, edge2);
        if (right < 0 || left >= width) return;
        right = std::min(right, width - 1);
        left = std::max(left, 0);
        if (right <= left) return;
        span(pixels + left, depth != nullptr ? depth + left : nullptr, right - left, paint);
    }
    void down() {
        pixels += stride;
        if (depth != nullptr) depth += stride;
    }
};

RowCursor cursorAt(const FillTarget& target, int64_t row) {
    const size_t stride = static_cast<size_t>(target.width);
    const size_t offset = static_cast<size_t>(row) * stride;
    return {target.pixels + offset, target.depth != nullptr ? target.depth + offset : nullptr, stride, target.width};
}

uint32_t rowsBelow(int64_t row, int32_t vertexRow) { return static_cast<uint32_t>(row - vertexRow); }

}  // namespace

void fillTriangle(const FillTarget& target, const RowOrderedTriangle& triangle, SpanFn span, const SpanPaint& paint) {
    if (target.width <= 0 || target.height <= 0 || span == nullptr) return;
    const PixelVertex& a = triangle.a;
    const PixelVertex& b = triangle.b;
    const PixelVertex& c = triangle.c;
    const int64_t lastRow = static_cast<int64_t>(target.height) - 1;

    // Upper half, down to the middle vertex's row. A flat top (a.y == b.y,
    // which a.y == c.y implies) has none, and the top row itself is skipped.
    int64_t upperFirst = std::max<int64_t>(clampRow(a.y, target.height), 0);
    if (upperFirst == a.y) ++upperFirst;
    const int64_t upperLast = std::min(clampRow(b.y, target.height), lastRow);
    // Lower half: every such row lies below b and at most at c, so neither
    // edge is flat.
    const int64_t lowerFirst = std::max<int64_t>(clampRow(b.y, target.height) + 1, 0);
    const int64_t lowerLast = std::min(clampRow(c.y, target.height), lastRow);

    if (a.y != b.y && upperFirst <= upperLast) {
        RowCursor row = cursorAt(target, upperFirst);
        EdgeWalk ab(a, b, rowsBelow(upperFirst, a.y));
        EdgeWalk ac(a, c, rowsBelow(upperFirst, a.y));
        for (int64_t y = upperFirst;; ++y) {
            row.paint(ab.column(), ac.column(), span, paint);
            if (y == upperLast) break;
            row.down();
            ab.next();
            ac.next();
        }
        if (lowerFirst > lowerLast) return;
        if (lowerFirst == upperLast + 1) {
            // The long edge carries on from the row above.
            row.down();
            ac.next();
            EdgeWalk bc(b, c, rowsBelow(lowerFirst, b.y));
            for (int64_t y = lowerFirst;; ++y) {
                row.paint(bc.column(), ac.column(), span, paint);
                if (y == lowerLast) return;
                row.down();
                bc.next();
                ac.next();
            }
        }
    }
    if (lowerFirst > lowerLast) return;
    RowCursor row = cursorAt(target, lowerFirst);
    EdgeWalk bc(b, c, rowsBelow(lowerFirst, b.y));
    EdgeWalk ac(a, c, rowsBelow(lowerFirst, a.y));
    for (int64_t y = lowerFirst;; ++y) {
        row.paint(bc.column(), ac.column(), span, paint);
        if (y == lowerLast) return;
        row.down();
        bc.next();
        ac.next();
    }
}

}  // namespace render
