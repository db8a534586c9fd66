#include "previewer/thumbnail.h"

#include <algorithm>
#include <cmath>

namespace previewer {

namespace {

// Source index range [first, last) that target index t of n covers in a
// source of m.
void sourceRange(int32_t t, int32_t n, int32_t m, int32_t& first, int32_t& last) {
    first = static_cast<int32_t>(static_cast<int64_t>(t) * m / n);
    last = static_cast<int32_t>(static_cast<int64_t>(t + 1) * m / n);
    last = std::max(last, first + 1);
}

}  // namespace

Extent fitInto(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
    const double scale = std::min(static_cast<double>(boxWidth) / width, static_cast<double>(boxHeight) / height);
    const int32_t w = static_cast<int32_t>(std::lround(width * scale));
    const int32_t h = static_cast<int32_t>(std::lround(height * scale));
    return {std::clamp(w, 1, boxWidth), std::clamp(h, 1, boxHeight)};
}

Image scaleImage(const Image& source, Extent target) {
    Image result(target.width, target.height, 0);
    for (int32_t ty = 0; ty < target.height; ++ty) {
        int32_t y0 = 0;
        int32_t y1 = 0;
        sourceRange(ty, target.height, source.height, y0, y1);
        for (int32_t tx = 0; tx < target.width; ++tx) {
            int32_t x0 = 0;
            int32_t x1 = 0;
            sourceRange(tx, target.width, source.width, x0, x1);
            uint64_t sums[3] = {0, 0, 0};
            for (int32_t y = y0; y < y1; ++y) {
                for (int32_t x = x0; x < x1; ++x) {
                    const uint32_t pixel = source.at(x, y);
                    for (int c = 0; c < 3; ++c) sums[c] += (pixel >> (8 * c)) & 0xFFu;
                }
            }
            const uint64_t count = static_cast<uint64_t>(y1 - y0) * static_cast<uint64_t>(x1 - x0);
            uint32_t pixel = 0;
            for (int c = 0; c < 3; ++c) pixel |= static_cast<uint32_t>((sums[c] + count / 2) / count) << (8 * c);
            result.at(tx, ty) = pixel;
        }
    }
    return result;
}

}  // namespace previewer
