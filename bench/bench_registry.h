// Each file registers its benchmarks; the blend modes they all measure.
#pragma once

#include <cstdint>

#include "render/pixel_op.h"

namespace bench {

struct ModeUnderTest {
    const char* name;  // "mode3", "depth"
    uint32_t blendWord;
    bool depth;
};

extern const ModeUnderTest kModes[11];

void registerBandwidthBenchmarks();
void registerFillBenchmarks();
void registerSmallTriangleBenchmarks();
void registerLanguageBenchmarks();
void registerEngineBenchmarks();
void registerPeerBenchmarks();
// The plain per-row fill is a fair limit only if it writes the renderer's pixels.
bool plainFillDrawsTheRenderersPixels();
// Pixels one of the small triangles writes, on average.
double pixelsPerSmallTriangle();

}  // namespace bench
