#include "render/triangle_sink.h"

#include "render/frame_renderer.h"

namespace render {
namespace {
TriangleSink* g_replacement = nullptr;
}

TriangleSink& activeSink() { return g_replacement != nullptr ? *g_replacement : frameRenderer(); }

TriangleSink* replaceSink(TriangleSink* sink) {
    TriangleSink* previous = g_replacement;
    g_replacement = sink;
    return previous;
}
}  // namespace render
