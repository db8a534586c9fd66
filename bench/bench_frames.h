// The frame sizes and buffers every benchmark shares, so that bandwidth and
// fill rates are measured on the same memory.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

struct FrameSize {
    int32_t width;
    int32_t height;
    const char* name;  // "1920x1080"
    int64_t pixels() const { return static_cast<int64_t>(width) * height; }
};

extern const FrameSize kFrameSizes[2];

// Three pixel buffers of the largest size, 64-byte aligned.
uint32_t* frameBuffer();
uint32_t* copySource();
uint32_t* copyTarget();

}  // namespace bench
