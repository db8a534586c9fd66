// The AVX2 span routines, byte for byte the same results as the scalar ones.
#pragma once

#include "render/span_table.h"

namespace render {

// Null where the build has no AVX2 variant (not x86). Whether the processor
// can run it is a separate question: see processorHasAvx2().
const SpanTable* avx2Spans();

}  // namespace render
