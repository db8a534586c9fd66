// A plain, slow rasterizer written straight from the drawing rules, sharing no
// code with the renderer: what the renderer must match pixel for pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "render/pixel_op.h"

namespace reference {

struct Triangle {
    double x1, y1, x2, y2, x3, y3;
    double red, green, blue;
    double z1;
};

struct Setup {
    int32_t x[3], y[3];  // vertex order as given
    int orderCode;       // (Y1 <= Y2) + 2 (Y1 <= Y3) + 4 (Y2 <= Y3)
    uint32_t colour;
    uint32_t depth;
};

Setup setUp(const Triangle& triangle, int32_t width, int32_t height);

struct Span {
    int32_t row;
    int32_t left;  // first column written
    int32_t end;   // one past the last column written
};

// The spans written, in drawing order.
std::vector<Span> spans(const Setup& setup, int32_t width, int32_t height);

// Draws one triangle with `op` (mode 7 weight `ratio`); depth is the depth
// buffer for DepthReplace.
void draw(const Triangle& triangle, render::PixelOp op, unsigned ratio, uint32_t* frame, uint32_t* depth,
          int32_t width, int32_t height);

}  // namespace reference
