// What the frame driver draws through. The renderer implements it; tests may
// put a recorder in its place.
#pragma once

#include <cstdint>

namespace render {

struct Frame {
    uint32_t* pixels;
    int32_t width;
    int32_t height;
};

// The script values one triangle is drawn from.
struct TriangleVars {
    double x1, y1, x2, y2, x3, y3;
    double red1, green1, blue1;
    double z1;
};

class TriangleSink {
public:
    // Once per frame, after the frame section: picks the frame's pixel
    // operation. blendModeWord is read only when depth mode is off.
    virtual void chooseMode(const Frame& frame, bool zbuf, bool zbclear, const uint32_t* blendModeWord) = 0;
    // Once per frame, before the triangle loop.
    virtual void beginTriangles(const Frame& frame) = 0;
    virtual void drawTriangle(const TriangleVars& triangle) = 0;

protected:
    ~TriangleSink() = default;
};

// The sink every effect draws through: the real renderer unless replaced.
TriangleSink& activeSink();
// Replaces the sink (null restores the renderer); returns the previous one.
TriangleSink* replaceSink(TriangleSink* sink);

}  // namespace render
