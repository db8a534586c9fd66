// The glyphs of font/glyphs.txt, compiled into a table at build time
// (font/make_glyph_table.py writes the definitions).
#pragma once

#include <cstdint>

namespace font {

constexpr int32_t kCellHeight = 9;  // rows of every glyph
constexpr int32_t kBaseline = 7;    // rows above the baseline: capitals and digits
constexpr int32_t kSpacing = 1;     // blank columns between glyphs

struct Glyph {
    char character;
    int32_t width;
    uint16_t rows[kCellHeight];  // leftmost column in the top bit
};

// The whole table, sorted by character.
const Glyph* glyphsBegin();
const Glyph* glyphsEnd();

// The glyph of c, or null when the font has none.
const Glyph* findGlyph(char c);

}  // namespace font
