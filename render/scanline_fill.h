// Fills a row-ordered triangle one horizontal span at a time.
#pragma once

#include <cstdint>

#include "render/fill_target.h"
#include "render/span_table.h"
#include "render/triangle_setup.h"

namespace render {

// The top vertex's row and the last column are never written; edges run
// between the unclipped vertices, so clipping does not bend them. The span
// routine is called through its pointer once per row: the renderer itself
// draws with the span table's triangle routines, which have it inlined.
void fillTriangle(const FillTarget& target, const RowOrderedTriangle& triangle, SpanFn span, const SpanPaint& paint);

// Column of the edge from `from` to `to` on row y, truncated toward zero:
// (to.x − from.x) × (y − from.y) / (to.y − from.y) + from.x, for
// from.y < y <= to.y. Computed exactly, so it never wraps.
int32_t edgeColumn(PixelVertex from, PixelVertex to, int32_t y);

}  // namespace render
