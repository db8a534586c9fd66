// A picture in the frame buffer's own format: 32-bit words, blue in the low
// byte, red in bits 16-23, a fourth byte on top; row 0 first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace previewer {

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    Image() = default;
    Image(int32_t w, int32_t h, uint32_t fill)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

    uint32_t& at(int32_t x, int32_t y) { return pixels[index(x, y)]; }
    uint32_t at(int32_t x, int32_t y) const { return pixels[index(x, y)]; }

private:
    size_t index(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    }
};

}  // namespace previewer
