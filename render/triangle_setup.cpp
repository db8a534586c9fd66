#include "render/triangle_setup.h"


namespace render {

FrameScales frameScales(int32_t width, int32_t height) {
    // In double, so that no width overflows on the way.
    return {(static_cast<double>(width) - 1.0) * 0.5, (static_cast<double>(height) - 1.0) * 0.5};
}

int32_t toPixel(double coordinate, double scale) {
    const double product = (coordinate + 1.0) * scale;
    // The comparisons are false for NaN; ±2^63 are exact doubles.
    if (!(product >= -9223372036854775808.0 && product < 9223372036854775808.0)) return 0;
    const int64_t wide = static_cast<int64_t>(product);
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(wide)));
}

namespace {

// roundHalfEven for 0 <= v <= 255, without its library calls: truncation is
// the floor here, and the parity of the integer part decides a tie.
uint32_t roundByteHalfEven(double v) {
    const uint32_t below = static_cast<uint32_t>(v);
    const double fraction = v - static_cast<double>(below);  // exact
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return below + (below & 1u);
}

uint32_t colourByte(double component) {
    if (component > 1.0) return 255;
    if (!(component >= 0.0)) return 0;
    return roundByteHalfEven(component * 255.0);
}

}  // namespace

uint32_t packColour(double red, double green, double blue) {
    return colourByte(red) * 65536u + colourByte(green) * 256u + colourByte(blue);
}

uint32_t depthValue(double z1) {
    if (z1 > 40000.0) return 4000000000u;
    if (!(z1 >= 0.0)) return 0;
    return static_cast<uint32_t>(z1 * 100000.0);
}

RowOrderedTriangle orderByRow(PixelVertex v1, PixelVertex v2, PixelVertex v3) {
    const int code = (v1.y <= v2.y ? 1 : 0) + (v1.y <= v3.y ? 2 : 0) + (v2.y <= v3.y ? 4 : 0);
    switch (code) {
        case 0: return {v3, v2, v1};
        case 1: return {v3, v1, v2};
        case 3: return {v1, v3, v2};
        case 4: return {v2, v3, v1};
        case 6: return {v2, v1, v3};
        default: return {v1, v2, v3};  // 7, and the impossible 2 and 5
    }
}

}  // namespace render
