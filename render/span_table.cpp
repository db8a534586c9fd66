#include "render/span_table.h"

#include "render/cpu_features.h"
#include "render/spans_avx2.h"
#include "render/spans_scalar.h"
#include "render/spans_sse2.h"

namespace render {
namespace {

// Set only by test and benchmark programs: the product has no configuration
// of its own, so nothing from outside can change what it draws with.
SpanVariant g_widest = SpanVariant::Avx2;

}  // namespace

const SpanTable* spansOf(SpanVariant variant) {
    switch (variant) {
        case SpanVariant::Scalar: return &scalarSpans();
        case SpanVariant::Sse2: return sse2Spans();
        case SpanVariant::Avx2: return processorHasAvx2() ? avx2Spans() : nullptr;
    }
    return nullptr;
}

void limitSpanVariant(SpanVariant widest) { g_widest = widest; }

void setScalarSpansOnly(bool scalarOnly) { limitSpanVariant(scalarOnly ? SpanVariant::Scalar : SpanVariant::Avx2); }

const SpanTable& activeSpans() {
    for (int v = static_cast<int>(g_widest); v > static_cast<int>(SpanVariant::Scalar); --v) {
        const SpanTable* table = spansOf(static_cast<SpanVariant>(v));
        if (table != nullptr) return *table;
    }
    return scalarSpans();
}

}  // namespace render
