// The row walk of a triangle, as a template that each span variant's file
// instantiates with its span inlined, so that no row goes through a call.
//
// Everything here has internal linkage (an unnamed namespace) on purpose: the
// AVX2 file compiles it for AVX2, and a shared inline copy of it could be the
// one the linker keeps for the SSE2 code too. No standard header is included
// for the same reason.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/fill_target.h"
#include "render/triangle_setup.h"

namespace render {
namespace {  // NOLINT: one copy per file, see above

// One triangle edge stepped row by row: the same truncated columns as
// edgeColumn (render/scanline_fill.h), carried as quotient and remainder so
// that a row costs an add and a compare instead of a 64-bit divide.
class EdgeWalk {
public:
    // The edge from `from` to `to` (from.y < to.y), positioned on row
    // from.y + walked, 0 < walked <= to.y − from.y.
    EdgeWalk(PixelVertex from, PixelVertex to, uint32_t walked) {
        const int64_t run = static_cast<int64_t>(to.x) - from.x;
        const uint32_t magnitude = static_cast<uint32_t>(run < 0 ? -run : run);  // below 2^32
        rise_ = static_cast<uint32_t>(static_cast<int64_t>(to.y) - from.y);
        stepWhole_ = magnitude / rise_;
        stepPart_ = magnitude % rise_;
        negative_ = run < 0;
        fromX_ = from.x;
        if (walked == 1) {
            whole_ = stepWhole_;
            part_ = stepPart_;
        } else {
            // Clipped at the top: once per edge, not per row.
            const uint64_t product = static_cast<uint64_t>(magnitude) * walked;
            whole_ = static_cast<uint32_t>(product / rise_);
            part_ = static_cast<uint32_t>(product % rise_);
        }
    }

    // The column on the current row: it lies between from.x and to.x.
    int32_t column() const {
        return static_cast<int32_t>(negative_ ? fromX_ - static_cast<int64_t>(whole_) : fromX_ + static_cast<int64_t>(whole_));
    }

    // On to the next row: magnitude × walked / rise grows by the step's
    // quotient, and by one more when the remainders pass the rise.
    void next() {
        whole_ += stepWhole_;
        if (part_ >= rise_ - stepPart_) {
            part_ -= rise_ - stepPart_;
            ++whole_;
        } else {
            part_ += stepPart_;
        }
    }

private:
    int64_t fromX_;
    uint32_t rise_, stepWhole_, stepPart_, whole_, part_;
    bool negative_;
};

inline int32_t smaller(int32_t a, int32_t b) { return a < b ? a : b; }
inline int32_t larger(int32_t a, int32_t b) { return a < b ? b : a; }
inline int64_t clampRow(int32_t row, int32_t height) { return row < -1 ? -1 : (row > height ? height : row); }

// One frame row and its depth row (null outside depth mode), advanced by the
// row stride as the walk goes down.
template <class Span>
struct RowCursor {
    uint32_t* pixels;
    uint32_t* depth;
    size_t stride;
    int32_t width;
    const Span& span;

    // The span's right end is exclusive and at most the last column, so the
    // last column is never written.
    __attribute__((always_inline)) void paint(int32_t edge1, int32_t edge2) const {
        int32_t left = smaller(edge1, edge2);
        int32_t right = larger(edge1, edge2);
        if (right < 0 || left >= width) return;
        right = smaller(right, width - 1);
        left = larger(left, 0);
        if (right <= left) return;
        span(pixels + left, depth != nullptr ? depth + left : nullptr, right - left);
    }
    void down() {
        pixels += stride;
        if (depth != nullptr) depth += stride;
    }
};

template <class Span>
RowCursor<Span> cursorAt(const FillTarget& target, int64_t row, const Span& span) {
    const size_t stride = static_cast<size_t>(target.width);
    const size_t offset = static_cast<size_t>(row) * stride;
    return {target.pixels + offset, target.depth != nullptr ? target.depth + offset : nullptr, stride, target.width, span};
}

inline uint32_t rowsBelow(int64_t row, int32_t vertexRow) { return static_cast<uint32_t>(row - vertexRow); }

// The drawing rules' walk: the top vertex's row and the last column are
// never written; edges run between the unclipped vertices. span(pixels,
// depth, count) is called once per non-empty row, left to right.
template <class Span>
void walkTriangle(const FillTarget& target, const RowOrderedTriangle& triangle, const Span& span) {
    if (target.width <= 0 || target.height <= 0) return;
    const PixelVertex& a = triangle.a;
    const PixelVertex& b = triangle.b;
    const PixelVertex& c = triangle.c;
    const int64_t lastRow = static_cast<int64_t>(target.height) - 1;

    // Upper half, down to the middle vertex's row. A flat top (a.y == b.y,
    // which a.y == c.y implies) has none, and the top row itself is skipped.
    int64_t upperFirst = clampRow(a.y, target.height);
    if (upperFirst < 0) upperFirst = 0;
    if (upperFirst == a.y) ++upperFirst;
    int64_t upperLast = clampRow(b.y, target.height);
    if (upperLast > lastRow) upperLast = lastRow;
    // Lower half: every such row lies below b and at most at c, so neither
    // edge is flat.
    int64_t lowerFirst = clampRow(b.y, target.height) + 1;
    if (lowerFirst < 0) lowerFirst = 0;
    int64_t lowerLast = clampRow(c.y, target.height);
    if (lowerLast > lastRow) lowerLast = lastRow;

    if (a.y != b.y && upperFirst <= upperLast) {
        RowCursor<Span> row = cursorAt(target, upperFirst, span);
        EdgeWalk ab(a, b, rowsBelow(upperFirst, a.y));
        EdgeWalk ac(a, c, rowsBelow(upperFirst, a.y));
        for (int64_t y = upperFirst;; ++y) {
            row.paint(ab.column(), ac.column());
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
                row.paint(bc.column(), ac.column());
                if (y == lowerLast) return;
                row.down();
                bc.next();
                ac.next();
            }
        }
    }
    if (lowerFirst > lowerLast) return;
    RowCursor<Span> row = cursorAt(target, lowerFirst, span);
    EdgeWalk bc(b, c, rowsBelow(lowerFirst, b.y));
    EdgeWalk ac(a, c, rowsBelow(lowerFirst, a.y));
    for (int64_t y = lowerFirst;; ++y) {
        row.paint(bc.column(), ac.column());
        if (y == lowerLast) return;
        row.down();
        bc.next();
        ac.next();
    }
}

}  // namespace
}  // namespace render
