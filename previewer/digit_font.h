// A 3 x 5 pixel digit font for frame numbers on the contact sheet.
#pragma once

#include <cstdint>

#include "previewer/image.h"

namespace previewer {

constexpr int32_t kGlyphWidth = 3;
constexpr int32_t kGlyphHeight = 5;

// Width in pixels of `value` drawn at `scale` (one blank column between digits).
int32_t numberWidth(uint32_t value, int32_t scale);

// Draws `value` in decimal with its top-left corner at (x, y); pixels that
// fall outside the image are left out. Returns the width drawn.
int32_t drawNumber(Image& image, int32_t x, int32_t y, uint32_t value, int32_t scale, uint32_t colour);

}  // namespace previewer
