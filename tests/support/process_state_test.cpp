// The fixture itself: each piece of process-wide state a test may disturb is
// back at its start after resetProcessState, and an effect left alive at a
// test's end is reported.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "host/host_services.h"
#include "render/cpu_features.h"
#include "render/depth_buffer.h"
#include "render/frame_renderer.h"
#include "render/span_table.h"
#include "standin/standin_host.h"
#include "support/effect_fixture.h"
#include "support/process_state.h"
#include "support/test_main.h"

namespace {

struct StateRow {
    const char* name;
    std::function<void()> disturb;
    std::function<intptr_t()> observe;
};

intptr_t address(const void* p) { return reinterpret_cast<intptr_t>(p); }

effect::WindowHandle HOST_CDECL sentinelPanel(effect::ModuleHandle, effect::WindowHandle) {
    static int panel;
    return &panel;
}

uint32_t* noDepthMemory(size_t) { return nullptr; }

const StateRow kRows[] = {
    {"EditedEffect", [] { static char stray; effect::setEditedEffect(reinterpret_cast<effect::TriangleEffect*>(&stray)); },
     [] { return address(effect::editedEffect()); }},
    {"PanelOpener", [] { effect::setPanelOpener(&sentinelPanel); },
     [] {
         EffectPtr probe = makeEffect();
         return address(probe->openEditor(nullptr, nullptr));
     }},
    {"HostServices", [] { host::setServices(standin_services()); }, [] { return address(host::services()); }},
    {"SinkReplacement",
     [] {
         static RecordingSink* recorder = new RecordingSink;  // never removed: the reset must do it
         render::replaceSink(recorder);
     },
     [] { return address(&render::activeSink()); }},
    {"SpanCap",
     [] { render::limitSpanVariant(testsRunWithScalarSpans() ? render::SpanVariant::Avx2 : render::SpanVariant::Scalar); },
     [] { return address(&render::activeSpans()); }},
    {"DepthAllocator", [] { render::replaceDepthAllocator(&noDepthMemory); },
     [] {
         const render::DepthAllocator current = render::replaceDepthAllocator(nullptr);
         render::replaceDepthAllocator(current);
         return reinterpret_cast<intptr_t>(current);
     }},
    {"DepthBuffer", [] { render::prepareDepth(4, 3, true); }, [] { return intptr_t{render::depthWidth()}; }},
    {"ProcessorFlag", [] { render::setExtendedByteOps(!render::extendedByteOps()); },
     [] { return intptr_t{render::extendedByteOps()}; }},
    {"StandinBlendWord", [] { standin_set_blend_mode_word(0x0107u); },
     [] { return static_cast<intptr_t>(*standin_services()->blendModeWord); }},
};

class ResetTest : public ProcessStateTest, public testing::WithParamInterface<StateRow> {};

TEST_P(ResetTest, PutsTheStateBackToItsStart) {
    const intptr_t start = GetParam().observe();
    GetParam().disturb();
    ASSERT_NE(GetParam().observe(), start) << "the disturbance must show, or the row proves nothing";
    resetProcessState();
    EXPECT_EQ(GetParam().observe(), start);
}

INSTANTIATE_TEST_SUITE_P(State, ResetTest, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<StateRow>& param) { return std::string(param.param.name); });

// A fixture of its own, outside any test run, to watch its destructor.
struct Probe final : ProcessStateTest {
    void TestBody() override {}
};

// A fixture ends while an effect is still alive.
void endAFixtureWithAnEffectAlive() {
    EffectPtr leaked = makeEffect();
    Probe probe;
}

class FixtureEnd : public ProcessStateTest {};

TEST_F(FixtureEnd, ReportsAnEffectThatOutlivedTheTest) {
    EXPECT_NONFATAL_FAILURE(endAFixtureWithAnEffectAlive(), "an effect outlived its test");
}

TEST_F(FixtureEnd, IsQuietWhenEveryEffectIsGone) {
    { EffectPtr gone = makeEffect(); }
    Probe probe;
}

}  // namespace
