// Scaling a frame to fit a box, for the contact sheet.
#pragma once

#include <cstdint>

#include "previewer/image.h"

namespace previewer {

struct Extent {
    int32_t width;
    int32_t height;
};

// The largest size with the frame's proportions that fits the box (at least
// 1 x 1). Small frames are enlarged, so tiny test frames stay visible.
Extent fitInto(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);

// Each target pixel is the average of the source pixels it covers (a single
// source pixel when enlarging). The fourth byte of the result is 0.
Image scaleImage(const Image& source, Extent target);

}  // namespace previewer
