// The span routines, one per pixel operation, that apply it to a run of
// pixels, and the choice of the table the renderer binds.
#pragma once

#include <cstdint>

#include "render/pixel_op.h"
#include "render/span_paint.h"

namespace render {

// Applies one operation to pixels[0 .. count-1] from left to right. depth is
// the matching run of depth entries, read only by DepthReplace.
using SpanFn = void (*)(uint32_t* pixels, uint32_t* depth, int32_t count, const SpanPaint& paint);

struct SpanTable {
    SpanFn span[kPixelOpCount];  // null for PixelOp::None
    const char* name;
};

// The table the renderer binds: the SSE2 one where the build has SSE2
// (render/spans_sse2.h), else the scalar one (render/spans_scalar.h), unless
// the scalar spans were asked for.
const SpanTable& activeSpans();
// For test and benchmark programs only (the module exports nothing of it):
// binds the scalar spans from the next pixel-operation selection on.
void setScalarSpansOnly(bool scalarOnly);

}  // namespace render
