// The plain span routines: one pixel after another through the reference
// operations. Test programs can bind them in place of the vector ones, which
// they are also used to check.
#include <algorithm>

#include "render/pixel_byte_ops.h"
#include "render/pixel_op.h"

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
    for (int32_t k = 0; k < count; ++k) pixels[k] = bytewise::weightedMix(pixels[k], paint.packedColour, paint.ratio);
}

void depthReplaceSpan(uint32_t* pixels, uint32_t* depth, int32_t count, const SpanPaint& paint) {
    for (int32_t k = 0; k < count; ++k) bytewise::depthReplace(pixels[k], depth[k], paint.packedColour, paint.depth);
}

SpanTable makeTable() {
    SpanTable table = {};
    table.name = "scalar";
    auto set = [&table](PixelOp op, SpanFn fn) { table.span[static_cast<int>(op)] = fn; };
    set(PixelOp::Replace, replaceSpan);
    set(PixelOp::Additive, spanOf<bytewise::additive>);
    set(PixelOp::MaximumPlain, spanOf<bytewise::maximumPlain>);
    set(PixelOp::MaximumExtended, spanOf<bytewise::maximumExtended>);
    set(PixelOp::AveragePlain, spanOf<bytewise::averagePlain>);
    set(PixelOp::AverageExtended, spanOf<bytewise::averageExtended>);
    set(PixelOp::SubtractColour, spanOf<bytewise::subtractColour>);
    set(PixelOp::SubtractPixel, spanOf<bytewise::subtractPixel>);
    set(PixelOp::Multiply, spanOf<bytewise::multiply>);
    set(PixelOp::WeightedMix, weightedMixSpan);
    set(PixelOp::ExclusiveOr, spanOf<bytewise::exclusiveOr>);
    set(PixelOp::MinimumPlain, spanOf<bytewise::minimumPlain>);
    set(PixelOp::MinimumExtended, spanOf<bytewise::minimumExtended>);
    set(PixelOp::DepthReplace, depthReplaceSpan);
    return table;
}

}  // namespace

const SpanTable& scalarSpans() {
    static const SpanTable table = makeTable();
    return table;
}

}  // namespace render
