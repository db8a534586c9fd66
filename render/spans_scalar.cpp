// The plain span routines: one pixel after another through the reference
// operations. Test programs can bind them in place of the vector ones, which
// they are also used to check.
#include "render/spans_scalar.h"

#include <algorithm>

#include "render/pixel_ops_scalar.h"

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

SpanTable makeTable() {
    SpanTable table = {};
    table.name = "scalar";
    auto set = [&table](PixelOp op, SpanFn fn) { table.span[static_cast<int>(op)] = fn; };
    set(PixelOp::Replace, replaceSpan);
    set(PixelOp::Additive, spanOf<scalar::additive>);
    set(PixelOp::MaximumPlain, spanOf<scalar::maximumPlain>);
    set(PixelOp::MaximumExtended, spanOf<scalar::maximumExtended>);
    set(PixelOp::AveragePlain, spanOf<scalar::averagePlain>);
    set(PixelOp::AverageExtended, spanOf<scalar::averageExtended>);
    set(PixelOp::SubtractColour, spanOf<scalar::subtractColour>);
    set(PixelOp::SubtractPixel, spanOf<scalar::subtractPixel>);
    set(PixelOp::Multiply, spanOf<scalar::multiply>);
    set(PixelOp::WeightedMix, weightedMixSpan);
    set(PixelOp::ExclusiveOr, spanOf<scalar::exclusiveOr>);
    set(PixelOp::MinimumPlain, spanOf<scalar::minimumPlain>);
    set(PixelOp::MinimumExtended, spanOf<scalar::minimumExtended>);
    set(PixelOp::DepthReplace, depthReplaceSpan);
    return table;
}

}  // namespace

const SpanTable& scalarSpans() {
    static const SpanTable table = makeTable();
    return table;
}

}  // namespace render
