// The preset block: the four sections as consecutive NUL-terminated strings,
// init, frame, beat, triangle, and nothing else.
#include <cstring>
#include <utility>

#include "effect/triangle_effect.h"

namespace effect {

void EFFECT_CALL TriangleEffect::loadConfig(const unsigned char* data, int32_t length) {
    if (data == nullptr || length <= 0) return;
    const char* bytes = reinterpret_cast<const char*>(data);
    const size_t size = static_cast<size_t>(length);

    const char* starts[kSectionCount];
    size_t lengths[kSectionCount];
    size_t pos = 0;
    for (int s = 0; s < kSectionCount; ++s) {
        const void* nul = std::memchr(bytes + pos, '\0', size - pos);
        if (nul == nullptr) return;  // fewer than four NULs: ignore the block
        starts[s] = bytes + pos;
        lengths[s] = static_cast<size_t>(static_cast<const char*>(nul) - starts[s]);
        pos += lengths[s] + 1;
    }

    // Allocate every new string before giving up any old one, so that running
    // out of memory leaves the effect with its previous scripts.
    char* texts[kSectionCount] = {};
    for (int s = 0; s < kSectionCount; ++s) {
        texts[s] = newCodeString(starts[s], lengths[s]);
        if (texts[s] == nullptr) {
            for (char* text : texts) freeCodeString(text);
            return;
        }
    }
    // Swap all four at once so a recompile never mixes old and new sections.
    {
        host::SpinLockGuard guard(codeLock);
        for (int s = 0; s < kSectionCount; ++s) std::swap(code[s], texts[s]);
    }
    for (char* text : texts) freeCodeString(text);
}

int32_t EFFECT_CALL TriangleEffect::saveConfig(unsigned char* buffer) {
    if (buffer == nullptr) return 0;
    host::SpinLockGuard guard(codeLock);
    size_t written = 0;
    for (const char* text : code) {
        const size_t length = std::strlen(text) + 1;
        std::memcpy(buffer + written, text, length);
        written += length;
    }
    return static_cast<int32_t>(written);
}

}  // namespace effect
