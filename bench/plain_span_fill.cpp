#include "plain_span_fill.h"

#include <emmintrin.h>

#include <algorithm>

#include "render/triangle_setup.h"

namespace bench {
namespace {

void addSpan(uint32_t* p, int32_t count, __m128i colour) {
    int32_t k = 0;
    for (; k + 4 <= count; k += 4) {
        __m128i* at = reinterpret_cast<__m128i*>(p + k);
        _mm_storeu_si128(at, _mm_adds_epu8(_mm_loadu_si128(at), colour));
    }
    for (; k < count; ++k)
        p[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(p[k])), colour)));
}

int32_t column(render::PixelVertex from, render::PixelVertex to, int32_t y) {
    return (to.x - from.x) * (y - from.y) / (to.y - from.y) + from.x;
}

void row(uint32_t* pixels, int32_t width, int32_t y, int32_t e1, int32_t e2, __m128i colour) {
    int32_t left = std::min(e1, e2), right = std::max(e1, e2);
    if (right < 0 || left >= width) return;
    right = std::min(right, width - 1);
    left = std::max(left, 0);
    if (right > left) addSpan(pixels + static_cast<size_t>(y) * width + left, right - left, colour);
}

}  // namespace

void plainAdditiveTriangle(uint32_t* pixels, int32_t width, int32_t height, const render::TriangleVars& t) {
    const double sx = (width - 1) * 0.5, sy = (height - 1) * 0.5;
    const render::RowOrderedTriangle o = render::orderByRow(
        {static_cast<int32_t>((t.x1 + 1) * sx), static_cast<int32_t>((t.y1 + 1) * sy)},
        {static_cast<int32_t>((t.x2 + 1) * sx), static_cast<int32_t>((t.y2 + 1) * sy)},
        {static_cast<int32_t>((t.x3 + 1) * sx), static_cast<int32_t>((t.y3 + 1) * sy)});
    const __m128i colour = _mm_set1_epi32(static_cast<int>(render::packColour(t.red1, t.green1, t.blue1)));
    const render::PixelVertex a = o.a, b = o.b, c = o.c;
    if (a.y != b.y)
        for (int32_t y = std::max(a.y + 1, 0); y <= std::min(b.y, height - 1); ++y)
            row(pixels, width, y, column(a, b, y), column(a, c, y), colour);
    for (int32_t y = std::max(b.y + 1, 0); y <= std::min(c.y, height - 1); ++y)
        row(pixels, width, y, column(b, c, y), column(a, c, y), colour);
}

}  // namespace bench
