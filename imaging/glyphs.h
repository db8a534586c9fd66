// A 5 x 7 capital-letter and digit font for labels in pictures.
#pragma once

#include <cstdint>

namespace imaging {

// Draws text (A-Z, 0-9, space and the punctuation . , : ; - = + * / _ ( ) [ ] < >
// ! ? ' % & | ^ #; other characters, lower case included, show as blanks)
// with its top-left corner at (x, y), each font pixel a scale x scale square;
// whatever falls outside the buffer is clipped.
void drawText(uint32_t* pixels, int32_t width, int32_t height, int32_t x, int32_t y, const char* text, uint32_t colour,
              int32_t scale);

// Width in pixels of text drawn at this scale.
int32_t textWidth(const char* text, int32_t scale);

}  // namespace imaging
