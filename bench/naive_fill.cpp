#include "naive_fill.h"

#include "render/pixel_ops_scalar.h"

namespace bench {
namespace {

using PixelFn = void (*)(uint32_t* pixel, uint32_t* entry, const render::SpanPaint& paint);

template <uint32_t (*Op)(uint32_t, uint32_t)>
void onePixel(uint32_t* pixel, uint32_t*, const render::SpanPaint& paint) {
    *pixel = Op(*pixel, paint.packedColour);
}

void mixPixel(uint32_t* pixel, uint32_t*, const render::SpanPaint& paint) {
    *pixel = render::scalar::weightedMix(*pixel, paint.packedColour, paint.ratio);
}

void depthPixel(uint32_t* pixel, uint32_t* entry, const render::SpanPaint& paint) {
    render::scalar::depthReplace(*pixel, *entry, paint.packedColour, paint.depth);
}

PixelFn operationFor(render::PixelOp op) {
    namespace b = render::scalar;
    switch (op) {
        case render::PixelOp::Replace: return onePixel<b::replace>;
        case render::PixelOp::Additive: return onePixel<b::additive>;
        case render::PixelOp::MaximumPlain: return onePixel<b::maximumPlain>;
        case render::PixelOp::MaximumExtended: return onePixel<b::maximumExtended>;
        case render::PixelOp::AveragePlain: return onePixel<b::averagePlain>;
        case render::PixelOp::AverageExtended: return onePixel<b::averageExtended>;
        case render::PixelOp::SubtractColour: return onePixel<b::subtractColour>;
        case render::PixelOp::SubtractPixel: return onePixel<b::subtractPixel>;
        case render::PixelOp::Multiply: return onePixel<b::multiply>;
        case render::PixelOp::WeightedMix: return mixPixel;
        case render::PixelOp::ExclusiveOr: return onePixel<b::exclusiveOr>;
        case render::PixelOp::MinimumPlain: return onePixel<b::minimumPlain>;
        case render::PixelOp::MinimumExtended: return onePixel<b::minimumExtended>;
        case render::PixelOp::DepthReplace: return depthPixel;
        case render::PixelOp::None: break;
    }
    return nullptr;
}

// Volatile, so the call stays an indirect one for every pixel.
PixelFn volatile g_operation = nullptr;

}  // namespace

void useNaiveOperation(render::PixelOp op) { g_operation = operationFor(op); }

void naiveSpan(uint32_t* pixels, uint32_t* depth, int32_t count, const render::SpanPaint& paint) {
    for (int32_t k = 0; k < count; ++k) g_operation(pixels + k, depth != nullptr ? depth + k : nullptr, paint);
}

}  // namespace bench
