// The preset block: the four sections as consecutive NUL-terminated strings,
// init, frame, beat, triangle, and nothing else.
#pragma once

#include <cstdint>

#include "effect/sections.h"

namespace effect {

// The block's four sections as new code strings (TriangleEffect::newCodeString).
// False, and nothing allocated, for a block of fewer than four NULs or when
// memory runs out.
bool readPresetBlock(const unsigned char* data, int32_t length, char* (&texts)[kSectionCount]);

// Writes the four texts, each with its NUL, and gives the bytes written.
int32_t writePresetBlock(const char* const (&texts)[kSectionCount], unsigned char* buffer);

}  // namespace effect
