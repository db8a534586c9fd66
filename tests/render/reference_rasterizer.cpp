#include "reference_rasterizer.h"

#include <algorithm>
#include <cmath>

#include "expected_bytes.h"

namespace reference {
namespace {

// Truncate to 64 bits, keep the low 32 as signed; NaN, infinite or beyond
// 64 bits gives 0. Done with fmod rather than integer casts.
int32_t pixelOf(double value) {
    if (std::isnan(value) || std::isinf(value)) return 0;
    const double whole = std::trunc(value);
    if (whole >= 9223372036854775808.0 || whole < -9223372036854775808.0) return 0;
    double low = std::fmod(whole, 4294967296.0);
    if (low < 0) low += 4294967296.0;
    if (low >= 2147483648.0) low -= 4294967296.0;
    return static_cast<int32_t>(low);
}

unsigned colourByte(double v) {
    if (v < 0) v = 0;
    if (v > 1) v = 1;
    if (std::isnan(v)) return 0;
    return static_cast<unsigned>(std::nearbyint(v * 255.0));  // default rounding: halves to even
}

// (x1 - x0) * (y - y0) / (y1 - y0) + x0, the division truncating toward zero,
// in arithmetic wide enough never to wrap.
int64_t edge(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t y) {
#ifdef __SIZEOF_INT128__
    __extension__ typedef __int128 Wide;
    const Wide product = static_cast<Wide>(x1 - x0) * (y - y0);
    return static_cast<int64_t>(product / (y1 - y0) + x0);
#else
    int64_t product;
    if (!__builtin_mul_overflow(x1 - x0, y - y0, &product)) return product / (y1 - y0) + x0;
    const uint64_t magnitude =
        static_cast<uint64_t>(x1 > x0 ? x1 - x0 : x0 - x1) * static_cast<uint64_t>(y - y0) / static_cast<uint64_t>(y1 - y0);
    return x1 > x0 ? x0 + static_cast<int64_t>(magnitude) : x0 - static_cast<int64_t>(magnitude);
#endif
}

void addSpan(std::vector<Span>& out, int64_t row, int64_t a, int64_t b, int32_t width) {
    int64_t left = std::min(a, b), right = std::max(a, b);
    if (right < 0 || left >= width) return;
    if (right > width - 1) right = width - 1;
    if (left < 0) left = 0;
    if (right > left) out.push_back({static_cast<int32_t>(row), static_cast<int32_t>(left), static_cast<int32_t>(right)});
}

}  // namespace

Setup setUp(const Triangle& t, int32_t width, int32_t height) {
    const double scaleX = static_cast<double>(width - 1) * 0.5;
    const double scaleY = static_cast<double>(height - 1) * 0.5;
    Setup s{};
    const double xs[3] = {t.x1, t.x2, t.x3}, ys[3] = {t.y1, t.y2, t.y3};
    for (int k = 0; k < 3; ++k) {
        s.x[k] = pixelOf((xs[k] + 1.0) * scaleX);
        s.y[k] = pixelOf((ys[k] + 1.0) * scaleY);
    }
    s.orderCode = (s.y[0] <= s.y[1]) + 2 * (s.y[0] <= s.y[2]) + 4 * (s.y[1] <= s.y[2]);
    s.colour = colourByte(t.red) * 65536u + colourByte(t.green) * 256u + colourByte(t.blue);
    if (t.z1 > 40000.0)
        s.depth = 4000000000u;
    else if (t.z1 < 0.0 || std::isnan(t.z1))
        s.depth = 0;
    else
        s.depth = static_cast<uint32_t>(std::trunc(t.z1 * 100000.0));
    return s;
}

std::vector<Span> spans(const Setup& s, int32_t width, int32_t height) {
    // Top, middle, bottom vertex numbers (0-based) for each order code.
    static const int kOrder[8][3] = {{2, 1, 0}, {2, 0, 1}, {0, 1, 2}, {0, 2, 1},
                                     {1, 2, 0}, {0, 1, 2}, {1, 0, 2}, {0, 1, 2}};
    const int* order = kOrder[s.orderCode];
    const int64_t XA = s.x[order[0]], YA = s.y[order[0]];
    const int64_t XB = s.x[order[1]], YB = s.y[order[1]];
    const int64_t XC = s.x[order[2]], YC = s.y[order[2]];
    auto clampRow = [height](int64_t v) { return std::max<int64_t>(-1, std::min<int64_t>(v, height)); };

    std::vector<Span> out;
    for (int64_t y = clampRow(YA); y <= clampRow(YB); ++y) {
        if (y < 0 || y >= height || y == YA || YA == YB || YA == YC) continue;
        addSpan(out, y, edge(XA, YA, XB, YB, y), edge(XA, YA, XC, YC, y), width);
    }
    for (int64_t y = clampRow(YB) + 1; y <= clampRow(YC); ++y) {
        if (y < 0 || y >= height) continue;
        addSpan(out, y, edge(XB, YB, XC, YC, y), edge(XA, YA, XC, YC, y), width);
    }
    return out;
}

void draw(const Triangle& triangle, render::PixelOp op, unsigned ratio, uint32_t* frame, uint32_t* depth,
          int32_t width, int32_t height) {
    const Setup s = setUp(triangle, width, height);
    for (const Span& span : spans(s, width, height)) {
        for (int32_t x = span.left; x < span.end; ++x) {
            const size_t at = static_cast<size_t>(span.row) * static_cast<size_t>(width) + static_cast<size_t>(x);
            if (op == render::PixelOp::DepthReplace) {
                if (depth[at] > s.depth) continue;
                depth[at] = s.depth;
            }
            frame[at] = expected::pixelResult(op, frame[at], s.colour, ratio);
        }
    }
}

}  // namespace reference
