// The depth buffer all effects of the process share, kept from frame to frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace render {

// Makes the buffer match the frame: a new size (or none yet) gets a fresh,
// cleared buffer; otherwise zbclear clears it. Returns the entries to draw
// with, or null when there are none (a size of 0 or below, too large a size,
// or no memory), in which case nothing is drawn in depth mode this frame.
uint32_t* prepareDepth(int32_t width, int32_t height, bool zbclear);

// Frees the buffer; the next prepareDepth starts afresh.
void releaseDepth();

// For tests: the current buffer (null when absent) and its size.
const uint32_t* depthEntries();
int32_t depthWidth();
int32_t depthHeight();

// Lets tests make the allocation fail. The function returns `count` entries
// from new (std::nothrow) uint32_t[], or null. Returns the previous one.
using DepthAllocator = uint32_t* (*)(size_t count);
DepthAllocator replaceDepthAllocator(DepthAllocator allocator);

}  // namespace render
