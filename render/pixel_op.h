// The per-pixel operations a frame can draw with.
#pragma once

#include <cstdint>

namespace render {

// Host modes are 0-9; the effect uses 100 for depth-tested drawing.
using BlendMode = int8_t;
constexpr BlendMode kDepthMode = 100;
constexpr BlendMode kWeightedMixMode = 7;

// Modes 2, 3 and 9 have a plain variant and one for processors with byte
// maximum, minimum and rounding average; only mode 3's results differ.
enum class PixelOp : uint8_t {
    None,  // unlisted mode: nothing is drawn
    Replace,
    Additive,
    MaximumPlain,
    MaximumExtended,
    AveragePlain,
    AverageExtended,
    SubtractColour,
    SubtractPixel,
    Multiply,
    WeightedMix,
    ExclusiveOr,
    MinimumPlain,
    MinimumExtended,
    DepthReplace,
};
constexpr int kPixelOpCount = static_cast<int>(PixelOp::DepthReplace) + 1;

}  // namespace render
