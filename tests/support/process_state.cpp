#include "support/process_state.h"

#include "effect/triangle_effect.h"
#include "host/host_services.h"
#include "render/blend_selection.h"
#include "render/cpu_features.h"
#include "render/depth_buffer.h"
#include "render/frame_renderer.h"
#include "render/span_table.h"
#include "render/triangle_sink.h"
#include "standin/standin_host.h"
#include "support/test_main.h"

void resetProcessState() {
    render::resetPixelOpSelection();
    render::releaseSharedDepth();
    render::replaceDepthAllocator(nullptr);
    render::refreshCpuFlag();
    render::limitSpanVariant(testsSpanLimit());
    render::replaceSink(nullptr);
    effect::setEditedEffect(nullptr);
    effect::setPanelOpener(nullptr);
    host::setServices(nullptr);
    standin_set_blend_mode_word(0);
}

ProcessStateTest::~ProcessStateTest() {
    // The live count cannot be put back: an effect left alive would keep the
    // shared depth buffer and shift every later test's count.
    EXPECT_EQ(effect::TriangleEffect::liveInstanceCount(), 0) << "an effect outlived its test";
    resetProcessState();
}
