#include "effect/preset_block.h"

#include <cstddef>
#include <cstring>

#include "effect/triangle_effect.h"

namespace effect {

bool readPresetBlock(const unsigned char* data, int32_t length, char* (&texts)[kSectionCount]) {
    if (data == nullptr || length <= 0) return false;
    const char* bytes = reinterpret_cast<const char*>(data);
    const size_t size = static_cast<size_t>(length);

    const char* starts[kSectionCount];
    size_t lengths[kSectionCount];
    size_t pos = 0;
    for (int s = 0; s < kSectionCount; ++s) {
        const void* nul = std::memchr(bytes + pos, '\0', size - pos);
        if (nul == nullptr) return false;  // fewer than four NULs: ignore the block
        starts[s] = bytes + pos;
        lengths[s] = static_cast<size_t>(static_cast<const char*>(nul) - starts[s]);
        pos += lengths[s] + 1;
    }

    for (int s = 0; s < kSectionCount; ++s) {
        texts[s] = TriangleEffect::newCodeString(starts[s], lengths[s]);
        if (texts[s] == nullptr) {
            for (int k = 0; k < s; ++k) {
                TriangleEffect::freeCodeString(texts[k]);
                texts[k] = nullptr;
            }
            return false;
        }
    }
    return true;
}

int32_t writePresetBlock(const char* const (&texts)[kSectionCount], unsigned char* buffer) {
    size_t written = 0;
    for (const char* text : texts) {
        const size_t length = std::strlen(text) + 1;
        std::memcpy(buffer + written, text, length);
        written += length;
    }
    return static_cast<int32_t>(written);
}

}  // namespace effect
