#include "support/process_state.h"

#include "effect/triangle_effect.h"
#include "render/blend_selection.h"
#include "render/cpu_features.h"
#include "render/depth_buffer.h"
#include "render/frame_renderer.h"
#include "render/span_table.h"
#include "support/test_options.h"

void resetProcessState() {
    render::resetPixelOpSelection();
    render::releaseSharedDepth();
    render::replaceDepthAllocator(nullptr);
    render::refreshCpuFlag();
    render::limitSpanVariant(testsSpanLimit());
    effect::setEditedEffect(nullptr);
    effect::setPanelOpener(nullptr);
}
