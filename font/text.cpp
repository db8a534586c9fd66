#include "font/text.h"

#include <algorithm>

#include "font/glyph_table.h"

namespace font {
namespace {

const Glyph& glyphOrSpace(char c) {
    const Glyph* glyph = findGlyph(c);
    return glyph != nullptr ? *glyph : *findGlyph(' ');
}

void drawGlyph(uint32_t* pixels, int32_t width, int32_t height, int32_t left, int32_t top, const Glyph& glyph,
               uint32_t colour, int32_t scale) {
    for (int32_t row = 0; row < kCellHeight * scale; ++row) {
        const int32_t py = top + row;
        if (py < 0 || py >= height) continue;
        const uint32_t bits = glyph.rows[row / scale];
        for (int32_t column = 0; column < glyph.width * scale; ++column) {
            const int32_t px = left + column;
            if (px < 0 || px >= width || (bits & (0x8000u >> (column / scale))) == 0) continue;
            pixels[static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)] = colour;
        }
    }
}

}  // namespace

int32_t textWidth(const char* text, int32_t scale) {
    int32_t columns = 0;
    for (const char* c = text; *c != '\0'; ++c) columns += glyphOrSpace(*c).width + (c == text ? 0 : kSpacing);
    return columns * scale;
}

int32_t drawText(uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y, const char* text,
                 uint32_t colour, int32_t scale) {
    int32_t left = x;
    for (const char* c = text; *c != '\0'; ++c) {
        const Glyph& glyph = glyphOrSpace(*c);
        drawGlyph(pixels, width, height, left, y, glyph, colour, scale);
        left += (glyph.width + kSpacing) * scale;
    }
    return textWidth(text, scale);
}

int32_t widestAdvance() {
    const Glyph* widest = std::max_element(glyphsBegin(), glyphsEnd(),
                                           [](const Glyph& a, const Glyph& b) { return a.width < b.width; });
    return widest->width + kSpacing;
}

}  // namespace font
