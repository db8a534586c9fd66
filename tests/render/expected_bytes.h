// What each blend mode does to one byte, written out from the mode table,
// independently of the renderer's own operations.
#pragma once

#include <algorithm>
#include <cstdint>

#include "render/pixel_op.h"

namespace expected {

inline unsigned byteResult(render::PixelOp op, unsigned d, unsigned c, unsigned r) {
    using render::PixelOp;
    switch (op) {
        case PixelOp::Replace:
        case PixelOp::DepthReplace: return c;
        case PixelOp::Additive: return std::min(255u, d + c);
        case PixelOp::MaximumPlain:
        case PixelOp::MaximumExtended: return std::max(d, c);
        case PixelOp::AveragePlain: return (d + c) / 2;
        case PixelOp::AverageExtended: return (d + c + 1) / 2;
        case PixelOp::SubtractColour: return d >= c ? d - c : 0;
        case PixelOp::SubtractPixel: return c >= d ? c - d : 0;
        case PixelOp::Multiply: return d * c / 256;
        case PixelOp::WeightedMix: return std::min(65535u, d * r + c * (255 - r)) / 256;
        case PixelOp::ExclusiveOr: return d ^ c;
        case PixelOp::MinimumPlain:
        case PixelOp::MinimumExtended: return std::min(d, c);
        case PixelOp::None: break;
    }
    return d;
}

inline uint32_t pixelResult(render::PixelOp op, uint32_t pixel, uint32_t colour, unsigned r) {
    uint32_t result = 0;
    for (int lane = 0; lane < 4; ++lane) {
        const unsigned d = (pixel >> (8 * lane)) & 0xFF;
        const unsigned c = (colour >> (8 * lane)) & 0xFF;
        result |= static_cast<uint32_t>(byteResult(op, d, c, r)) << (8 * lane);
    }
    return result;
}

}  // namespace expected
