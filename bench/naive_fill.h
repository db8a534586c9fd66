// The baseline: the same fill with one indirect call per pixel to a scalar
// operation, as a renderer without span routines would do it.
#pragma once

#include "render/pixel_op.h"
#include "render/span_paint.h"

namespace bench {

// A span routine that calls the operation's one-pixel function per pixel.
// The operation is chosen with useNaiveOperation before filling.
void naiveSpan(uint32_t* pixels, uint32_t* depth, int32_t count, const render::SpanPaint& paint);
void useNaiveOperation(render::PixelOp op);

}  // namespace bench
