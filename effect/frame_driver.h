// What one frame of an effect does: binds the script variables, recompiles
// when due, runs the four sections at their moments and walks the triangle
// loop. TriangleEffect::renderFrame hands its object here; the driver works
// on the effect's own fields, whose layout the host fixes.
#pragma once

#include <cstdint>

#include "effect/sections.h"
#include "host/host_services.h"

namespace effect {

class TriangleEffect;

class FrameDriver {
public:
    static int32_t renderFrame(TriangleEffect& effect, host::VisData* visData, int32_t isBeat, uint32_t* frameBuffer,
                               int32_t width, int32_t height);

private:
    static bool bindVariables(TriangleEffect& effect, const host::HostServices& host);
    // False when memory for the copies of the texts could not be had.
    static bool recompile(TriangleEffect& effect, const host::HostServices& host, host::VisData* visData);
    static void runTriangleLoop(TriangleEffect& effect, const host::HostServices& host, host::VisData* visData);
    // A section that failed to compile (a null handle) is skipped.
    static void runSection(const TriangleEffect& effect, const host::HostServices& host, Section section,
                           host::VisData* visData);
};

}  // namespace effect
