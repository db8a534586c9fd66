// The SSE2 span routines, byte for byte the same results as the scalar ones.
#pragma once

#include "render/span_table.h"

namespace render {

// Null where the build has no SSE2.
const SpanTable* sse2Spans();

}  // namespace render
