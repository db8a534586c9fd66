// The plain span routines: one pixel after another through the reference
// operations. Test programs can bind them in place of the vector ones, which
// they are also used to check.
#include "render/spans_scalar.h"

#include <algorithm>

#include "render/pixel_ops_scalar.h"
#include "render/triangle_walk.h"

namespace render {
namespace {

template <uint32_t (*Op)(uint32_t, uint32_t)>
void spanOf(uint32_t* pixels, uint32_t*, int32_t count, const SpanPaint& paint) {
    for (int32_t k = 0; k < count; ++k) pixels[k] = Op(pixels[k], paint.packedColour);
}

void replaceSpan(uint32_t* pixels, uint32_t*, int32_t count, const SpanPaint& paint) {
    if (count > 0) std::fill(pixels, pixels + count, paint.packedColour);
}

void weightedMixSpan(uint32_t* pixels, uint32_t*, int32_t count, const SpanPaint& paint) {
    for (int32_t k = 0; k < count; ++k) pixels[k] = scalar::weightedMix(pixels[k], paint.packedColour, paint.ratio);
}

void depthReplaceSpan(uint32_t* pixels, uint32_t* depth, int32_t count, const SpanPaint& paint) {
    for (int32_t k = 0; k < count; ++k) scalar::depthReplace(pixels[k], depth[k], paint.packedColour, paint.depth);
}

// The span as a constant, so that the row walk calls it directly.
template <SpanFn Span>
void triangleOf(const FillTarget& target, const RowOrderedTriangle& triangle, const SpanPaint& paint) {
    walkTriangle(target, triangle, [&paint](uint32_t* pixels, uint32_t* depth, int32_t count)
                                       __attribute__((always_inline)) { Span(pixels, depth, count, paint); });
}

template <SpanFn Span>
void bind(SpanTable& table, PixelOp op) {
    table.span[static_cast<int>(op)] = Span;
    table.triangle[static_cast<int>(op)] = triangleOf<Span>;
}

SpanTable makeTable() {
    SpanTable table = {};
    table.name = "scalar";
    bind<replaceSpan>(table, PixelOp::Replace);
    bind<spanOf<scalar::additive>>(table, PixelOp::Additive);
    bind<spanOf<scalar::maximumPlain>>(table, PixelOp::MaximumPlain);
    bind<spanOf<scalar::maximumExtended>>(table, PixelOp::MaximumExtended);
    bind<spanOf<scalar::averagePlain>>(table, PixelOp::AveragePlain);
    bind<spanOf<scalar::averageExtended>>(table, PixelOp::AverageExtended);
    bind<spanOf<scalar::subtractColour>>(table, PixelOp::SubtractColour);
    bind<spanOf<scalar::subtractPixel>>(table, PixelOp::SubtractPixel);
    bind<spanOf<scalar::multiply>>(table, PixelOp::Multiply);
    bind<weightedMixSpan>(table, PixelOp::WeightedMix);
    bind<spanOf<scalar::exclusiveOr>>(table, PixelOp::ExclusiveOr);
    bind<spanOf<scalar::minimumPlain>>(table, PixelOp::MinimumPlain);
    bind<spanOf<scalar::minimumExtended>>(table, PixelOp::MinimumExtended);
    bind<depthReplaceSpan>(table, PixelOp::DepthReplace);
    return table;
}

}  // namespace

const SpanTable& scalarSpans() {
    static const SpanTable table = makeTable();
    return table;
}

}  // namespace render
