#include "render/depth_buffer.h"

#include <cstring>
#include <new>

namespace render {
namespace {

uint32_t* allocateEntries(size_t count) { return new (std::nothrow) uint32_t[count]; }

uint32_t* g_entries = nullptr;
int32_t g_width = 0;
int32_t g_height = 0;
DepthAllocator g_allocate = allocateEntries;

// At most 16384 x 16384 entries (1 GiB), well within what a pointer
// difference spans. A 64-bit process would be granted far more, say 17 GB
// for 65535 x 65535, and then spend minutes clearing it; such a frame draws
// nothing in depth mode instead.
constexpr uint64_t kMostEntries = uint64_t{1} << 28;

bool entryCount(int32_t width, int32_t height, size_t& count) {
    const uint64_t entries = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (entries > kMostEntries) return false;
    count = static_cast<size_t>(entries);
    return true;
}

}  // namespace

uint32_t* prepareDepth(int32_t width, int32_t height, bool zbclear) {
    if (g_entries != nullptr && width == g_width && height == g_height) {
        if (zbclear) std::memset(g_entries, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(uint32_t));
        return g_entries;
    }
    // A new size always starts from a cleared buffer, zbclear or not.
    releaseDepth();
    size_t count = 0;
    if (width <= 0 || height <= 0 || !entryCount(width, height, count)) return nullptr;
    g_entries = g_allocate(count);
    if (g_entries == nullptr) return nullptr;
    std::memset(g_entries, 0, count * sizeof(uint32_t));
    g_width = width;
    g_height = height;
    return g_entries;
}

void releaseDepth() {
    delete[] g_entries;
    g_entries = nullptr;
    g_width = 0;
    g_height = 0;
}

const uint32_t* depthEntries() { return g_entries; }
int32_t depthWidth() { return g_width; }
int32_t depthHeight() { return g_height; }

DepthAllocator replaceDepthAllocator(DepthAllocator allocator) {
    DepthAllocator previous = g_allocate;
    g_allocate = allocator != nullptr ? allocator : allocateEntries;
    return previous;
}

}  // namespace render
