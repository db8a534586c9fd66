// Frames of 0x00RRGGBB words (the top byte is ignored) to BT.709
// limited-range Y'CbCr planes, as the video encoders take them.
#pragma once

#include <cstdint>

#include "video/yuv_rows.h"

namespace video::yuv {

struct Planes {
    uint8_t* data[3];  // Y', Cb, Cr
    int32_t stride[3];
};

// 4:2:0 averages each 2x2 block's colour; an odd width or height repeats the
// last column or row, so the planes must hold the size rounded up to even
// (luma) and half of that (chroma). 4:4:4 keeps every pixel's own colour.
void convertFrame(const RowKernels& kernels, const uint32_t* pixels, int32_t stride, int32_t width, int32_t height,
                  bool fullChroma, const Planes& planes);

}  // namespace video::yuv
