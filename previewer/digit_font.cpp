#include "previewer/digit_font.h"

#include <string>

namespace previewer {

namespace {

// One row per entry, the leftmost pixel in bit 2.
constexpr uint8_t kGlyphs[10][kGlyphHeight] = {
    {7, 5, 5, 5, 7},  // 0
    {2, 6, 2, 2, 7},  // 1
    {7, 1, 7, 4, 7},  // 2
    {7, 1, 7, 1, 7},  // 3
    {5, 5, 7, 1, 1},  // 4
    {7, 4, 7, 1, 7},  // 5
    {7, 4, 7, 5, 7},  // 6
    {7, 1, 1, 1, 1},  // 7
    {7, 5, 7, 5, 7},  // 8
    {7, 5, 7, 1, 7},  // 9
};

void fillBlock(Image& image, int32_t x, int32_t y, int32_t size, uint32_t colour) {
    for (int32_t dy = 0; dy < size; ++dy) {
        for (int32_t dx = 0; dx < size; ++dx) {
            const int32_t px = x + dx;
            const int32_t py = y + dy;
            if (px >= 0 && py >= 0 && px < image.width && py < image.height) image.at(px, py) = colour;
        }
    }
}

}  // namespace

int32_t numberWidth(uint32_t value, int32_t scale) {
    const int32_t digits = static_cast<int32_t>(std::to_string(value).size());
    return (digits * (kGlyphWidth + 1) - 1) * scale;
}

int32_t drawNumber(Image& image, int32_t x, int32_t y, uint32_t value, int32_t scale, uint32_t colour) {
    const std::string digits = std::to_string(value);
    int32_t left = x;
    for (char digit : digits) {
        const uint8_t* glyph = kGlyphs[digit - '0'];
        for (int32_t row = 0; row < kGlyphHeight; ++row) {
            for (int32_t column = 0; column < kGlyphWidth; ++column) {
                if (glyph[row] & (4 >> column)) fillBlock(image, left + column * scale, y + row * scale, scale, colour);
            }
        }
        left += (kGlyphWidth + 1) * scale;
    }
    return numberWidth(value, scale);
}

}  // namespace previewer
