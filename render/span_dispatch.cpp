#include <cstdlib>
#include <cstring>

#include "render/pixel_op.h"

namespace render {
namespace {

bool scalarForced() {
    const char* value = std::getenv("RT_FORCE_SCALAR");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

const SpanTable& chooseTable() {
    const SpanTable* vector = sse2Spans();
    if (vector == nullptr || scalarForced()) return scalarSpans();
    return *vector;
}

}  // namespace

const SpanTable& activeSpans() {
    static const SpanTable& table = chooseTable();
    return table;
}

}  // namespace render
