// What the processor offers: the flag that picks the variant of modes 2, 3
// and 9, and whether the AVX2 spans may run.
#pragma once

namespace render {

// True when the processor has byte maximum, minimum and rounding average: the
// SSE feature flag, or AMD's extended multimedia flag on processors without it.
bool probeCpuExtensions();

// True when the processor has AVX2 and the operating system saves the 256-bit
// registers. Asked once, on first use; the answer never changes.
bool processorHasAvx2();

// Process-wide; rewritten at every effect construction (refreshCpuFlag).
bool extendedByteOps();
void setExtendedByteOps(bool enabled);
// Reads the processor's features and sets the flag.
void refreshCpuFlag();

}  // namespace render
