// The processor flag that picks the variant of modes 2, 3 and 9.
#pragma once

namespace render {

// True when the processor has byte maximum, minimum and rounding average: the
// SSE feature flag, or AMD's extended multimedia flag on processors without it.
bool probeCpuExtensions();

// Process-wide; rewritten at every effect construction (refreshCpuFlag).
bool extendedByteOps();
void setExtendedByteOps(bool enabled);
// Reads the processor's features and sets the flag.
void refreshCpuFlag();

}  // namespace render
