#include "render/blend_selection.h"

#include "render/cpu_features.h"

namespace render {
namespace {

// Outside the signed byte range, so the first frame always selects.
constexpr int kNoMode = 0x7FFF;

int g_lastMode = kNoMode;
uint8_t g_lastRatio = 255;
PixelOpSelection g_selected = {PixelOp::None, nullptr, nullptr, 0};

PixelOp operationFor(BlendMode mode, bool extended) {
    switch (mode) {
        case 0: return PixelOp::Replace;
        case 1: return PixelOp::Additive;
        case 2: return extended ? PixelOp::MaximumExtended : PixelOp::MaximumPlain;
        case 3: return extended ? PixelOp::AverageExtended : PixelOp::AveragePlain;
        case 4: return PixelOp::SubtractColour;
        case 5: return PixelOp::SubtractPixel;
        case 6: return PixelOp::Multiply;
        case 7: return PixelOp::WeightedMix;
        case 8: return PixelOp::ExclusiveOr;
        case 9: return extended ? PixelOp::MinimumExtended : PixelOp::MinimumPlain;
        case kDepthMode: return PixelOp::DepthReplace;
        default: return PixelOp::None;
    }
}

}  // namespace

BlendChoice readBlendModeWord(uint32_t word) {
    const BlendMode mode = static_cast<BlendMode>(static_cast<uint8_t>(word & 0xFFu));
    const uint8_t ratio = mode == kWeightedMixMode ? static_cast<uint8_t>((word >> 8) & 0xFFu) : 0;
    return {mode, ratio};
}

const PixelOpSelection& selectPixelOp(BlendMode mode, uint8_t ratio) {
    bool stale;
    if (mode == kWeightedMixMode) {
        stale = g_lastMode != kWeightedMixMode || ratio != g_lastRatio;
        g_lastRatio = ratio;
    } else {
        stale = mode != g_lastMode;
    }
    if (stale) {
        g_lastMode = mode;
        const PixelOp op = operationFor(mode, extendedByteOps());
        g_selected.op = op;
        const SpanTable& table = activeSpans();
        g_selected.span = table.span[static_cast<int>(op)];
        g_selected.triangle = table.triangle[static_cast<int>(op)];
        if (mode == kWeightedMixMode) g_selected.ratio = ratio;
    }
    return g_selected;
}

void resetPixelOpSelection() {
    g_lastMode = kNoMode;
    g_lastRatio = 255;
    g_selected = {PixelOp::None, nullptr, nullptr, 0};
}

}  // namespace render
