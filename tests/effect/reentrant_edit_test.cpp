// A host's compiler may re-enter the effect on the thread that renders: one
// that shows a script error in a message box, or pumps window messages while
// it compiles, delivers the panel's edit notifications right there. Each
// re-entrant call must finish, and an edit made that way must be compiled at
// the next due recompilation, 21 frames later, like any other.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/effect_fixture.h"
#include "support/fake_host.h"
#include "support/hang_watchdog.h"
#include "support/process_state.h"

using effect::Section;
using effect::TriangleEffect;

namespace {

// What the panel does for one notification from a code box.
void panelEdit(TriangleEffect& effect, Section section, const char* text) {
    effect.acceptEdit(section, TriangleEffect::newCodeString(text, std::strlen(text)));
}

struct ReentrantCall {
    const char* name;
    const char* duringCompileOf;  // the section text whose compilation makes the call
    std::function<void(TriangleEffect&)> call;
    std::vector<std::string> compiledOn21stFrame;  // empty: nothing is recompiled
    std::string blockAfter;                        // what saveConfig gives once it is all over
};

const std::vector<std::string> kLoaded = {"I", "F", "B", "T"};

std::vector<ReentrantCall> reentrantCalls() {
    return {
        {"EditOfTheSectionBeingCompiled", "F", [](TriangleEffect& e) { panelEdit(e, Section::Frame, "F2"); },
         {"I", "F2", "B", "T"}, presetBlock("I", "F2", "B", "T")},
        {"EditOfASectionAlreadyCompiled", "B", [](TriangleEffect& e) { panelEdit(e, Section::Init, "I2"); },
         {"I2", "F", "B", "T"}, presetBlock("I2", "F", "B", "T")},
        {"EditOfASectionStillToCompile", "I", [](TriangleEffect& e) { panelEdit(e, Section::Triangle, "T2"); },
         {"I", "F", "B", "T2"}, presetBlock("I", "F", "B", "T2")},
        {"TwoEditsTheLaterWins", "T",
         [](TriangleEffect& e) {
             panelEdit(e, Section::Beat, "B2");
             panelEdit(e, Section::Beat, "B3");
         },
         {"I", "F", "B3", "T"}, presetBlock("I", "F", "B3", "T")},
        {"PresetLoadedKeepsTheCounter", "F",
         [](TriangleEffect& e) { loadBlock(e, presetBlock("I2", "F2", "B2", "T2")); }, {},
         presetBlock("I2", "F2", "B2", "T2")},
        {"PresetSaved", "B",
         [](TriangleEffect& e) { EXPECT_EQ(saveBlock(e), presetBlock("I", "F", "B", "T")); }, {},
         presetBlock("I", "F", "B", "T")},
        {"SectionCopied", "I", [](TriangleEffect& e) { EXPECT_EQ(sectionText(e, Section::Triangle), "T"); }, {},
         presetBlock("I", "F", "B", "T")},
    };
}

class ReentrantCompileTest : public ProcessStateTest, public testing::WithParamInterface<ReentrantCall> {
protected:
    // Texts compiled during one frame.
    std::vector<std::string> renderFrame() {
        host.clearCalls();
        effect->renderFrame(nullptr, 0, pixels, nullptr, 4, 4);
        std::vector<std::string> compiled;
        for (const std::string& call : host.calls)
            if (call.rfind("compile:", 0) == 0) compiled.push_back(call.substr(8));
        return compiled;
    }

    FakeHost host;
    RecordingSink sink;
    EffectPtr effect = makeEffect();
    uint32_t pixels[16] = {};
};

TEST_P(ReentrantCompileTest, FinishesAndCompilesTheEditAtTheNextDueRecompilation) {
    const ReentrantCall& row = GetParam();
    loadBlock(*effect, presetBlock("I", "F", "B", "T"));
    bool called = false;
    host.whileCompiling = [&](const std::string& text) {
        if (called || text != row.duringCompileOf) return;
        called = true;
        row.call(*effect);
    };
    {
        HangWatchdog watchdog(std::string("a frame whose compiler re-enters the effect: ") + row.name);
        EXPECT_EQ(renderFrame(), kLoaded) << "the texts as they were when the compilation began";
    }
    ASSERT_TRUE(called);

    for (int frame = 1; frame <= 20; ++frame) EXPECT_TRUE(renderFrame().empty()) << "frame " << frame;
    EXPECT_EQ(renderFrame(), row.compiledOn21stFrame) << "21st frame";
    for (int frame = 22; frame <= 42; ++frame) EXPECT_TRUE(renderFrame().empty()) << "frame " << frame;
    EXPECT_EQ(effect->recompileCounter(), TriangleEffect::kCounterRest);
    EXPECT_EQ(saveBlock(*effect), row.blockAfter);
}

INSTANTIATE_TEST_SUITE_P(Calls, ReentrantCompileTest, testing::ValuesIn(reentrantCalls()),
                         [](const testing::TestParamInfo<ReentrantCall>& row) { return row.param.name; });

}  // namespace
