// Thousands of effects created, drawn and destroyed through the factory with
// the stand-in host's real compiler: afterwards every block, host context and
// code handle is back, and the shared depth buffer went with the last effect.
#include <gtest/gtest.h>

#include <string>

#include "failing_allocator.h"
#include "guarded_frame.h"
#include "module/exports.h"
#include "render/triangle_sink.h"
#include "standin/standin_host.h"
#include "support/effect_fixture.h"
#include "support/process_state.h"

namespace {

using hardening::GuardedFrame;

constexpr int kEffects = 2000;
constexpr int kFramesEach = 3;
constexpr int32_t kSide = 16;

// zbuf alternates between effects, so depth buffers come and go as well.
std::string busyPreset(bool depth) {
    return presetBlock("t = 0; k = 0",
                       std::string("t = t + 0.25; n = 6; zbclear = 0; zbuf = ") + (depth ? "1" : "0"),
                       "k = k + 1",
                       "x1 = -1 + i; y1 = -1; x2 = 1; y2 = -1 + i; x3 = -1; y3 = 1;"
                       "red1 = i; green1 = 1 - i; blue1 = rand(1); z1 = t + i");
}

void createRenderDestroy(const std::string& block, GuardedFrame& frame) {
    effect::EffectBase* effect = module::createEffect(nullptr);
    ASSERT_NE(effect, nullptr);
    effect->loadConfig(reinterpret_cast<const unsigned char*>(block.data()), static_cast<int32_t>(block.size()));
    for (int k = 0; k < kFramesEach; ++k) effect->renderFrame(nullptr, k % 2, frame.pixels(), nullptr, kSide, kSide);
    effect->destroy(effect::EffectBase::kFreeMemory);
}

// The stand-in host's table for the whole test; the fixture takes it away.
class EffectLifetime : public ProcessStateTest {
protected:
    EffectLifetime() { host::setServices(standin_services()); }
};

TEST_F(EffectLifetime, ThousandsOfEffectsLeaveNoMemoryHandlesOrDepthBehind) {
    GuardedFrame frame(kSide, kSide);
    const std::string plain = busyPreset(false);
    const std::string depth = busyPreset(true);
    // The first effect fills the host's registries and the renderer's
    // one-time tables; those stay, everything after must come back.
    createRenderDestroy(depth, frame);
    const long live = hardening::liveAllocations();
    const int32_t contexts = standin_live_contexts();
    const int32_t codes = standin_live_codes();
    const int32_t instances = effect::TriangleEffect::liveInstanceCount();

    for (int k = 0; k < kEffects; ++k) {
        createRenderDestroy(k % 2 == 0 ? depth : plain, frame);
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_FALSE(frame.untouched()) << "the effects drew";
    EXPECT_TRUE(frame.guardsIntact());
    EXPECT_EQ(hardening::liveAllocations(), live);
    EXPECT_EQ(standin_live_contexts(), contexts);
    EXPECT_EQ(standin_live_codes(), codes);
    EXPECT_EQ(effect::TriangleEffect::liveInstanceCount(), instances);
}

// The depth entries of a destroyed last effect would hide a triangle at
// depth 0 drawn without zbclear; a fresh buffer does not.
TEST_F(EffectLifetime, DepthBufferGoesWithTheLastEffect) {
    const std::string deep = presetBlock("", "n = 1; zbuf = 1; zbclear = 0", "",
                                         "x1 = -1; y1 = -5; x2 = 5; y2 = 1; x3 = -5; y3 = 1; z1 = 5;"
                                         "red1 = 1; green1 = 0; blue1 = 0");
    const std::string flat = presetBlock("", "n = 1; zbuf = 1; zbclear = 0", "",
                                         "x1 = -1; y1 = -5; x2 = 5; y2 = 1; x3 = -5; y3 = 1; z1 = 0;"
                                         "red1 = 0; green1 = 0; blue1 = 1");
    struct Case {
        const char* name;
        bool keepAnotherEffect;
        uint32_t expected;  // at row 4, column 4, after the depth-0 triangle
    };
    for (const Case& c : {Case{"another effect still alive: the entries stay", true, 0x00FF0000u},
                          Case{"last effect gone: a fresh, cleared buffer", false, 0x000000FFu}}) {
        EffectPtr bystander = c.keepAnotherEffect ? makeEffect() : nullptr;
        GuardedFrame frame(kSide, kSide);
        EffectPtr first = makeEffect();
        loadBlock(*first, deep);
        first->renderFrame(nullptr, 0, frame.pixels(), nullptr, kSide, kSide);
        first.reset();
        EffectPtr second = makeEffect();
        loadBlock(*second, flat);
        second->renderFrame(nullptr, 0, frame.pixels(), nullptr, kSide, kSide);
        EXPECT_EQ(frame.at(4, 4), c.expected) << c.name;
    }
}

}  // namespace
