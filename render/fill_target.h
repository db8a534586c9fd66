// The frame (and depth entries) a triangle is filled into.
#pragma once

#include <cstdint>

namespace render {

struct FillTarget {
    uint32_t* pixels;  // width × height, row-major
    uint32_t* depth;   // the matching depth entries in depth mode, else null
    int32_t width;
    int32_t height;
};

}  // namespace render
