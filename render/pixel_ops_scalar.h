// One pixel at a time: the reference form of every operation, also used for
// the heads and tails of the vector spans. All four bytes are treated alike,
// the top byte included.
#pragma once

#include <cstdint>

namespace render {
namespace scalar {

template <class ByteOp>
inline uint32_t eachByte(uint32_t pixel, uint32_t colour, ByteOp op) {
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t d = (pixel >> shift) & 0xFFu;
        const uint32_t c = (colour >> shift) & 0xFFu;
        result |= (op(d, c) & 0xFFu) << shift;
    }
    return result;
}

inline uint32_t replace(uint32_t, uint32_t colour) { return colour; }

inline uint32_t additive(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return d + c > 255u ? 255u : d + c; });
}

inline uint32_t subtractColour(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return d > c ? d - c : 0u; });
}

inline uint32_t subtractPixel(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return c > d ? c - d : 0u; });
}

// Without byte maximum/minimum the plain variants go through saturating
// subtraction; the results are the same.
inline uint32_t maximumPlain(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return (d > c ? d - c : 0u) + c; });
}

inline uint32_t maximumExtended(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return d > c ? d : c; });
}

inline uint32_t minimumPlain(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return d - (d > c ? d - c : 0u); });
}

inline uint32_t minimumExtended(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return d < c ? d : c; });
}

// The two variants round differently, and both are kept on purpose.
inline uint32_t averagePlain(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return (d + c) >> 1; });
}

inline uint32_t averageExtended(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return (d + c + 1u) >> 1; });
}

inline uint32_t multiply(uint32_t pixel, uint32_t colour) {
    return eachByte(pixel, colour, [](uint32_t d, uint32_t c) { return (d * c) >> 8; });
}

// r weights the pixel already there; the sum is a saturating 16-bit one.
inline uint32_t weightedMix(uint32_t pixel, uint32_t colour, uint32_t ratio) {
    return eachByte(pixel, colour, [ratio](uint32_t d, uint32_t c) {
        const uint32_t sum = d * ratio + c * (255u - ratio);
        return (sum > 0xFFFFu ? 0xFFFFu : sum) >> 8;
    });
}

inline uint32_t exclusiveOr(uint32_t pixel, uint32_t colour) { return pixel ^ colour; }

// Equal depth draws, so the later of two triangles at one depth wins.
inline void depthReplace(uint32_t& pixel, uint32_t& entry, uint32_t colour, uint32_t depth) {
    if (entry > depth) return;
    entry = depth;
    pixel = colour;
}

}  // namespace scalar
}  // namespace render
