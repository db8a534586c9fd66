// The renderer behind every effect: picks the frame's pixel operation, sets up
// each triangle and fills it, sharing one depth buffer among all effects.
#pragma once

#include "render/triangle_sink.h"

namespace render {

// The real renderer, the sink every effect draws through unless replaced.
TriangleSink& frameRenderer();
// Frees the process-wide depth buffer (the last effect is gone).
void releaseSharedDepth();

}  // namespace render
