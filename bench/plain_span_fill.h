// The fill-only limit for small triangles: what a plain C rasteriser does with
// the same triangles in additive mode. Per row it divides for both edges in
// 32 bits, as the format's formula is written (exact while no product wraps,
// which holds for on-screen triangles), and adds the colour along the span with
// SSE2. No mode dispatch, no depth, no clipping subtleties beyond the frame.
#pragma once

#include <cstdint>

#include "render/triangle_sink.h"

namespace bench {

// Draws one triangle additively into a width × height frame: the same pixels
// the renderer writes for coordinates within a few times the frame's size.
void plainAdditiveTriangle(uint32_t* pixels, int32_t width, int32_t height, const render::TriangleVars& t);

}  // namespace bench
