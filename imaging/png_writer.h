// Writes 32-bit frame buffers (0x??RRGGBB words, row 0 first) as RGB PNG
// files; the fourth byte is dropped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imaging {

// False when the size is not positive, the file cannot be written, or memory
// runs out; a file that failed half way is removed.
bool writePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height);

// The same file's bytes, for callers that store or check them themselves.
// Empty on failure.
std::vector<unsigned char> encodePng(const uint32_t* pixels, int32_t width, int32_t height);

}  // namespace imaging
