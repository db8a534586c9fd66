// A frame's own palette for GIF: exact when the frame has few enough colours
// (flat-shaded triangles usually do), a median cut of its colours otherwise.
#pragma once

#include <cstdint>
#include <vector>

namespace video {

struct PalettedFrame {
    std::vector<uint8_t> indices;   // width * height, row 0 first
    std::vector<uint32_t> palette;  // 0x00RRGGBB, at most the colours asked for
};

// Pixels are 0x??RRGGBB words, `stride` words apart row to row. Dithering
// (an ordered 4 x 4 pattern) is used only when asked and only when colours had
// to be merged.
void quantizeFrame(const uint32_t* pixels, int32_t width, int32_t height, int32_t stride, int32_t maxColours,
                   bool dither, PalettedFrame& out);

}  // namespace video
