// How much memory a render needs, told before it starts, so that a huge frame
// size asks first instead of pushing the machine into swap.
#pragma once

#include <cstdint>
#include <string>

#include "previewer/options.h"

namespace previewer {

// Bytes the render holds at its peak: the frame, the depth buffer, a picture
// being encoded and the contact sheet.
uint64_t estimateRenderBytes(const Options& options);

// The machine's physical memory, or the address-space limit when lower.
uint64_t availableMemoryBytes();

// False, with the figures in `error`, when `needed` is more than half of
// `available` and the user did not say --force.
bool checkMemory(uint64_t needed, uint64_t available, bool force, std::string& error);

// "1.5 GiB", "300 MiB".
std::string describeBytes(uint64_t bytes);

}  // namespace previewer
