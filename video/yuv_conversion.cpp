#include "video/yuv_conversion.h"

namespace video::yuv {

void convertFrame(const RowKernels& kernels, const uint32_t* pixels, int32_t stride, int32_t width, int32_t height,
                  bool fullChroma, const Planes& planes) {
    const auto row = [&](int plane, int32_t y) {
        return planes.data[plane] + static_cast<int64_t>(y) * planes.stride[plane];
    };
    if (fullChroma) {
        for (int32_t y = 0; y < height; ++y)
            kernels.row444(pixels + static_cast<int64_t>(y) * stride, width, row(0, y), row(1, y), row(2, y));
        return;
    }
    for (int32_t y = 0; y < height; y += 2) {
        const uint32_t* top = pixels + static_cast<int64_t>(y) * stride;
        const uint32_t* bottom = y + 1 < height ? top + stride : top;
        kernels.rowPair420(top, bottom, width, row(0, y), row(0, y + 1), row(1, y / 2), row(2, y / 2));
    }
}

}  // namespace video::yuv
