// From script values to pixel coordinates, a packed colour and a depth value.
#pragma once

#include <cstdint>

namespace render {

struct FrameScales {
    double x;  // (width − 1) / 2
    double y;  // (height − 1) / 2
};
FrameScales frameScales(int32_t width, int32_t height);

// trunc((coordinate + 1) × scale) as a 64-bit integer whose low 32 bits are
// taken as signed; NaN, infinities and products beyond 64 bits give 0.
int32_t toPixel(double coordinate, double scale);

// 0x00RRGGBB. Components are clamped to [0, 1] (NaN gives 0), then scaled to
// 255 and rounded half to even.
uint32_t packColour(double red, double green, double blue);

// z1 × 100000 truncated, 0 below 0 or NaN, 4000000000 above 40000.
uint32_t depthValue(double z1);

struct PixelVertex {
    int32_t x;
    int32_t y;
};

// Vertices renamed top (a), middle (b), bottom (c): a.y <= b.y <= c.y.
struct RowOrderedTriangle {
    PixelVertex a, b, c;
};
RowOrderedTriangle orderByRow(PixelVertex v1, PixelVertex v2, PixelVertex v3);

}  // namespace render
