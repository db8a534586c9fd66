// Text in pictures, set from the project's one font (font/glyphs.txt).
#pragma once

#include <cstdint>

namespace font {

// Draws text with the top-left corner of its cell at (x, y), each font pixel
// a scale x scale square, into a buffer of width x height 32-bit pixels, row
// 0 first; whatever falls outside is clipped. The cell is kCellHeight rows
// high, descenders included. The font has A-Z, a-z, 0-9, space and
// . , : ; - = + * / _ ( ) [ ] < > ! ? ' % & | ^ #; any other character is
// left blank, as wide as a space. Returns the width drawn.
int32_t drawText(uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y, const char* text,
                 uint32_t colour, int32_t scale);

// Width in pixels of text drawn at this scale.
int32_t textWidth(const char* text, int32_t scale);

// The widest glyph plus its spacing, in font pixels: no line of n characters
// is wider than n times this.
int32_t widestAdvance();

}  // namespace font
