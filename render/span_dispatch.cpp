#include "render/pixel_op.h"

namespace render {
namespace {

// Set only by test and benchmark programs: the product has no configuration
// of its own, so nothing from outside can change what it draws with.
bool g_scalarSpansOnly = false;

}  // namespace

void setScalarSpansOnly(bool scalarOnly) { g_scalarSpansOnly = scalarOnly; }

const SpanTable& activeSpans() {
    const SpanTable* vector = sse2Spans();
    if (vector == nullptr || g_scalarSpansOnly) return scalarSpans();
    return *vector;
}

}  // namespace render
