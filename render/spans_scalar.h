// The scalar span routines: one pixel after another through the reference
// operations of render/pixel_ops_scalar.h.
#pragma once

#include "render/span_table.h"

namespace render {

const SpanTable& scalarSpans();

}  // namespace render
