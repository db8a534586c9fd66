// The span routines, one per pixel operation, that apply it to a run of
// pixels, and the choice of the table the renderer binds.
#pragma once

#include <cstdint>

#include "render/fill_target.h"
#include "render/pixel_op.h"
#include "render/span_paint.h"
#include "render/triangle_setup.h"

namespace render {

// Applies one operation to pixels[0 .. count-1] from left to right. depth is
// the matching run of depth entries, read only by DepthReplace.
using SpanFn = void (*)(uint32_t* pixels, uint32_t* depth, int32_t count, const SpanPaint& paint);

// Fills a whole row-ordered triangle (render/triangle_walk.h) with one
// operation, the span inlined in the row walk.
using TriangleFn = void (*)(const FillTarget& target, const RowOrderedTriangle& triangle, const SpanPaint& paint);

struct SpanTable {
    SpanFn span[kPixelOpCount];          // null for PixelOp::None
    TriangleFn triangle[kPixelOpCount];  // the same operations, a triangle at a time
    const char* name;
};

enum class SpanVariant { Scalar, Sse2, Avx2 };  // narrowest to widest

// A variant's table, or null where the build lacks it or, for AVX2, the
// processor cannot run it.
const SpanTable* spansOf(SpanVariant variant);

// The table the renderer binds: the widest variant the build and the
// processor have (AVX2, then SSE2, then the scalar one), no wider than the
// limit below. Read at each pixel-operation selection, so chosen once per
// mode change, never per span.
const SpanTable& activeSpans();
// For test and benchmark programs only (the module exports nothing of it):
// the widest variant to bind from the next pixel-operation selection on.
void limitSpanVariant(SpanVariant widest);
// limitSpanVariant(Scalar), or back to no limit.
void setScalarSpansOnly(bool scalarOnly);

}  // namespace render
