// pixman, the peer our fills are measured against: its solid composites and
// its triangle rasteriser, drawing into our frame buffers. The benchmark
// program alone links it; the module never does.
#pragma once

#include <cstdint>
#include <memory>

namespace bench {

struct PixmanImageDeleter {
    void operator()(void* image) const;
};
using PixmanImage = std::unique_ptr<void, PixmanImageDeleter>;

enum class PixmanOp { Src, Add };

// A frame of width × height 32-bit pixels (a8r8g8b8, our byte order) that
// pixman draws into in place; the memory stays ours.
class PixmanTarget {
public:
    PixmanTarget(uint32_t* pixels, int32_t width, int32_t height);
    // pixman_image_composite32 of a solid colour over the rectangle.
    void compositeSolid(PixmanOp op, uint32_t colour, int32_t width, int32_t height);
    // pixman_composite_triangles with one triangle, vertices in whole pixels.
    void compositeTriangle(PixmanOp op, uint32_t colour, const int32_t xy[6]);

private:
    PixmanImage frame_;
};

}  // namespace bench
