// Out of memory at every allocation the module makes: the effect object and
// its strings in the factory, the section strings at load and edit, and the
// shared depth buffer. Each failure is silent, keeps what was there and
// leaks nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failing_allocator.h"
#include "guarded_frame.h"
#include "module/exports.h"
#include "render/frame_renderer.h"
#include "render/triangle_sink.h"
#include "support/effect_fixture.h"
#include "support/fake_host.h"
#include "support/process_state.h"

using effect::EffectBase;
using effect::Section;
using effect::TriangleEffect;

namespace {

using hardening::GuardedFrame;
using hardening::NothrowFailure;

// Every allocation the operation makes is failed in turn (the first one, then
// the second, ...) until it needs no more; fails the test if it never gets there.
constexpr long kMostAllocations = 64;

class AllocationFailure : public ProcessStateTest {};

TEST_F(AllocationFailure, FactoryReturnsNullAndLeaksNothingWhicheverAllocationFails) {
    const int32_t instances = TriangleEffect::liveInstanceCount();
    long successes = 0;
    for (; successes < kMostAllocations; ++successes) {
        const long live = hardening::liveAllocations();
        EffectBase* effect = nullptr;
        long failures = 0;
        {
            NothrowFailure failure(successes);
            effect = module::createEffect(nullptr);
            failures = failure.failures();
        }
        if (failures == 0) {
            ASSERT_NE(effect, nullptr);
            effect->destroy(EffectBase::kFreeMemory);
            break;
        }
        EXPECT_EQ(effect, nullptr) << "allocation " << successes << " failed";
        EXPECT_EQ(TriangleEffect::liveInstanceCount(), instances) << "allocation " << successes << " failed";
        EXPECT_EQ(hardening::liveAllocations(), live) << "allocation " << successes << " failed";
    }
    EXPECT_LT(successes, kMostAllocations);
    EXPECT_GE(successes, 5) << "the object and its four empty strings";
}

TEST_F(AllocationFailure, LoadKeepsThePreviousScriptsWhicheverSectionStringFails) {
    EffectPtr effect = makeEffect();
    const std::string previous = presetBlock("i0", "f0", "b0", "t0");
    const std::string next = presetBlock("i1", "f1", "b1", "t1");
    loadBlock(*effect, previous);
    long successes = 0;
    for (; successes < kMostAllocations; ++successes) {
        const long live = hardening::liveAllocations();
        long failures = 0;
        {
            NothrowFailure failure(successes);
            loadBlock(*effect, next);
            failures = failure.failures();
        }
        if (failures == 0) break;
        EXPECT_EQ(saveBlock(*effect), previous) << "allocation " << successes << " failed";
        EXPECT_EQ(hardening::liveAllocations(), live) << "allocation " << successes << " failed";
    }
    EXPECT_LT(successes, kMostAllocations);
    EXPECT_EQ(saveBlock(*effect), next) << "with memory the block loads";
}

TEST_F(AllocationFailure, EditKeepsThePreviousSectionWhenItsCopyFails) {
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("i", "f", "b", "t"));
    const long live = hardening::liveAllocations();
    for (Section section : {Section::Init, Section::Frame, Section::Beat, Section::Triangle}) {
        NothrowFailure failure;
        EXPECT_FALSE(effect->replaceSection(section, "edited"));
        EXPECT_EQ(failure.failures(), 1);
    }
    EXPECT_EQ(saveBlock(*effect), presetBlock("i", "f", "b", "t"));
    EXPECT_EQ(hardening::liveAllocations(), live);
}

TEST_F(AllocationFailure, RecompileWithoutMemoryForItsCopiesKeepsTheOldCodeAndRetriesNextFrame) {
    FakeHost host;
    EffectPtr effect = makeEffect();
    uint32_t pixels[16] = {};
    loadBlock(*effect, presetBlock("i", "f", "b", "t"));
    effect->renderFrame(nullptr, 0, pixels, nullptr, 4, 4);
    effect->acceptEdit(Section::Frame, TriangleEffect::newCodeString("f2", 2));
    for (int frame = 0; frame < TriangleEffect::kRecompileFrame; ++frame)
        effect->renderFrame(nullptr, 0, pixels, nullptr, 4, 4);

    // Each of the four copies fails in turn on the due frame.
    for (long successes = 0; successes < 4; ++successes) {
        host.clearCalls();
        const long live = hardening::liveAllocations();
        long failures = 0;
        {
            NothrowFailure failure(successes);
            effect->renderFrame(nullptr, 0, pixels, nullptr, 4, 4);
            failures = failure.failures();
        }
        EXPECT_EQ(failures, 1) << "copy " << successes << " failed";
        EXPECT_EQ(host.calls, (std::vector<std::string>{"execute:f"})) << "copy " << successes << " failed";
        EXPECT_EQ(effect->recompileCounter(), TriangleEffect::kRecompileFrame) << "still due";
        EXPECT_EQ(hardening::liveAllocations(), live) << "copy " << successes << " failed";
    }
    host.clearCalls();
    effect->renderFrame(nullptr, 0, pixels, nullptr, 4, 4);
    EXPECT_EQ(host.count("compile:f2"), 1) << "with memory the edit compiles";
    EXPECT_EQ(effect->recompileCounter(), TriangleEffect::kCounterRest);
}

class DepthAllocationTest : public ProcessStateTest {
protected:
    DepthAllocationTest() {
        host.define("depth frame", [](FakeHost::Vars& v) {
            v["n"] = 1;
            v["zbuf"] = 1;
        });
        host.define("cover", [](FakeHost::Vars& v) { hardening::coverFrame(v); });
        effect = makeEffect();
        loadBlock(*effect, presetBlock("", "depth frame", "", "cover"));
    }
    FakeHost host;
    EffectPtr effect;
};

TEST_F(DepthAllocationTest, NoMemoryForTheDepthBufferDrawsNothingThatFrameAndRetriesTheNext) {
    GuardedFrame frame(16, 12);
    {
        NothrowFailure failure;
        EXPECT_EQ(effect->renderFrame(nullptr, 0, frame.pixels(), nullptr, 16, 12), 0);
        EXPECT_GE(failure.failures(), 1);
    }
    EXPECT_TRUE(frame.untouched());
    EXPECT_EQ(effect->renderFrame(nullptr, 0, frame.pixels(), nullptr, 16, 12), 0);
    EXPECT_EQ(frame.at(6, 6), 0x00FFFFFFu) << "the next frame finds memory and draws";
    EXPECT_TRUE(frame.guardsIntact());
}

// Sizes no depth buffer can have: nothing is drawn in depth mode, and the
// renderer does not even ask for the memory (a 64-bit process would get
// 17 GB of address space and then clear it).
TEST_F(DepthAllocationTest, AbsurdFrameSizesDrawNothingAndAskForNoHugeBlock) {
    struct Size {
        int32_t width;
        int32_t height;
    };
    for (const Size size : {Size{65535, 65535}, Size{1 << 30, 4}, Size{4, 1 << 30}, Size{INT32_MAX, INT32_MAX}}) {
        GuardedFrame frame(4, 4);  // only as big as what may be touched: nothing
        const long oversized = hardening::oversizedRequests();
        EXPECT_EQ(effect->renderFrame(nullptr, 0, frame.pixels(), nullptr, size.width, size.height), 0);
        EXPECT_TRUE(frame.untouched()) << size.width << " x " << size.height;
        EXPECT_TRUE(frame.guardsIntact()) << size.width << " x " << size.height;
        EXPECT_EQ(hardening::oversizedRequests(), oversized) << size.width << " x " << size.height;
    }
    GuardedFrame frame(8, 8);
    effect->renderFrame(nullptr, 0, frame.pixels(), nullptr, 8, 8);
    EXPECT_EQ(frame.at(4, 4), 0x00FFFFFFu) << "a frame of sensible size draws again";
}

}  // namespace
