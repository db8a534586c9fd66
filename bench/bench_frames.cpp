#include "bench_frames.h"

#include <cstdlib>
#include <cstring>

namespace bench {

const FrameSize kFrameSizes[2] = {{1920, 1080, "1920x1080"}, {640, 480, "640x480"}};

namespace {

uint32_t* makeBuffer(uint32_t seed) {
    const size_t count = 1920 * 1080;
    void* memory = std::aligned_alloc(64, count * sizeof(uint32_t));
    if (memory == nullptr) std::abort();
    uint32_t* words = static_cast<uint32_t*>(memory);
    // Touched once, so that page faults stay out of the measurements.
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        words[i] = seed;
    }
    return words;
}

}  // namespace

uint32_t* frameBuffer() {
    static uint32_t* const buffer = makeBuffer(1);
    return buffer;
}
uint32_t* copySource() {
    static uint32_t* const buffer = makeBuffer(2);
    return buffer;
}
uint32_t* copyTarget() {
    static uint32_t* const buffer = makeBuffer(3);
    return buffer;
}

}  // namespace bench
