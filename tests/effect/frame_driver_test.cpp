// The per-frame driver: binding, recompile timing, section order, the
// drawing-mode choice and the triangle loop.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/effect_fixture.h"
#include "support/fake_host.h"
#include "support/process_state.h"

namespace {

class FrameDriverTest : public ProcessStateTest {
protected:
    void load(const std::string& init, const std::string& frame, const std::string& beat, const std::string& triangle) {
        loadBlock(*effect, presetBlock(init, frame, beat, triangle));
    }
    int32_t render(int32_t isBeat = 0, int32_t width = 8, int32_t height = 6) {
        return effect->renderFrame(nullptr, isBeat, pixels, nullptr, width, height);
    }
    // Calls of one kind, in order, e.g. every "execute:" call.
    std::vector<std::string> callsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : host.calls)
            if (call.rfind(prefix, 0) == 0) found.push_back(call.substr(prefix.size()));
        return found;
    }

    FakeHost host;
    RecordingSink sink;
    EffectPtr effect = makeEffect();
    uint32_t pixels[64] = {};
};

TEST_F(FrameDriverTest, FirstFrameBindsTheVariablesInOrderWithStartValues) {
    host.newVariableValue = 7.0;
    EXPECT_EQ(render(), 0);
    const std::vector<std::string> expected = {"w",    "h",     "n",  "i",  "skip", "x1",     "y1",    "red1",
                                               "green1", "blue1", "x2", "y2", "red2", "green2", "blue2", "x3",
                                               "y3",   "red3",  "green3", "blue3", "z1", "zbuf", "zbclear"};
    EXPECT_EQ(callsStartingWith("register:"), expected);
    FakeHost::Vars& vars = host.vars();
    for (const char* name : {"red1", "green1", "blue1", "red2", "green2", "blue2", "red3", "green3", "blue3"})
        EXPECT_EQ(vars[name], 1.0) << name;
    for (const char* name : {"z1", "zbuf", "zbclear"}) EXPECT_EQ(vars[name], 0.0) << name;
    for (const char* name : {"n", "x1", "y1", "x2", "y2", "x3", "y3"}) EXPECT_EQ(vars[name], 7.0) << name;
    EXPECT_EQ(vars["w"], 8.0);
    EXPECT_EQ(vars["h"], 6.0);
    EXPECT_TRUE(effect->variablesBound());
}

TEST_F(FrameDriverTest, WithoutContextNothingHappensAndTheNextFrameRetries) {
    host.refuseContexts = 2;
    render();
    render();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"createContext", "createContext"}));
    EXPECT_TRUE(sink.modes.empty());
    EXPECT_EQ(effect->recompileCounter(), 20) << "the counter waits for the context";
    render();
    EXPECT_EQ(host.count("createContext"), 3);
    EXPECT_EQ(callsStartingWith("register:").size(), 23u);
    EXPECT_EQ(callsStartingWith("compile:").size(), 4u);
}

TEST_F(FrameDriverTest, FirstFrameCompilesInOrderRunsInitOnceThenFrame) {
    load("I", "F", "B", "T");
    render();
    EXPECT_EQ(callsStartingWith("compile:"), (std::vector<std::string>{"I", "F", "B", "T"}));
    EXPECT_EQ(callsStartingWith("execute:"), (std::vector<std::string>{"I", "F"})) << "no triangles, no beat";
    EXPECT_EQ(effect->recompileCounter(), 21);
    host.clearCalls();
    render();
    EXPECT_EQ(callsStartingWith("execute:"), (std::vector<std::string>{"F"}));
    EXPECT_TRUE(callsStartingWith("compile:").empty());
}

TEST_F(FrameDriverTest, SectionsRunInOrderOnABeatFrame) {
    load("I", "F", "B", "T");
    host.define("F", [](FakeHost::Vars& v) { v["n"] = 2; });
    render();
    host.clearCalls();
    render(1);
    EXPECT_EQ(callsStartingWith("execute:"), (std::vector<std::string>{"F", "B", "T", "T"}));
}

TEST_F(FrameDriverTest, FailedSectionIsSkippedAndTheOthersRun) {
    host.failCompile = {"F"};
    load("I", "F", "B", "T");
    host.define("I", [](FakeHost::Vars& v) { v["n"] = 1; });
    render(1);
    EXPECT_EQ(callsStartingWith("execute:"), (std::vector<std::string>{"I", "B", "T"}));
}

TEST_F(FrameDriverTest, EditRecompilesOnThe21stFrameAndOldCodeRunsUntilThen) {
    load("I", "F", "B", "T");
    render();
    effect->replaceSection(effect::Section::Frame, "F2");
    effect->restartRecompileCounter();
    host.clearCalls();
    for (int frame = 1; frame <= 20; ++frame) render();
    EXPECT_EQ(host.count("execute:F"), 20);
    EXPECT_TRUE(callsStartingWith("compile:").empty());
    host.clearCalls();
    render();  // the 21st frame after the edit
    EXPECT_EQ(host.calls, (std::vector<std::string>{"freeCode:I", "freeCode:F", "freeCode:B", "freeCode:T",
                                                    "compile:I", "compile:F2", "compile:B", "compile:T",
                                                    "execute:I", "execute:F2"}));
    EXPECT_EQ(effect->recompileCounter(), 21);
}

TEST_F(FrameDriverTest, ContinuousEditingPostponesRecompilation) {
    render();
    for (int frame = 0; frame < 60; ++frame) {
        if (frame % 10 == 0) effect->restartRecompileCounter();
        render();
    }
    EXPECT_EQ(callsStartingWith("compile:").size(), 4u) << "only the first frame compiled";
}

TEST_F(FrameDriverTest, SizeIsPublishedBeforeTheFrameSection) {
    load("", "F", "", "");
    double seenWidth = 0, seenHeight = 0;
    host.define("F", [&](FakeHost::Vars& v) {
        seenWidth = v["w"];
        seenHeight = v["h"];
    });
    render(0, 320, 200);
    EXPECT_EQ(seenWidth, 320.0);
    EXPECT_EQ(seenHeight, 200.0);
}

struct CountCase {
    double n;
    int expected;
};

class TriangleCountTest : public FrameDriverTest, public testing::WithParamInterface<CountCase> {};

TEST_P(TriangleCountTest, RoundsHalfToEvenAndRejectsOutOfRange) {
    load("", "F", "", "T");
    const double n = GetParam().n;
    host.define("F", [n](FakeHost::Vars& v) { v["n"] = n; });
    render();
    EXPECT_EQ(host.count("execute:T"), GetParam().expected);
    EXPECT_EQ(static_cast<int>(sink.triangles.size()), GetParam().expected);
    EXPECT_EQ(sink.frames.size(), 1u) << "the loop is prepared even without triangles";
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Counts, TriangleCountTest,
                         testing::Values(CountCase{2.5, 2}, CountCase{3.5, 4}, CountCase{1.0, 1}, CountCase{0.5, 0},
                                         CountCase{1.5, 2}, CountCase{2.4999, 2}, CountCase{0.0, 0},
                                         CountCase{-3.0, 0}, CountCase{kNaN, 0}, CountCase{kInf, 0},
                                         CountCase{-kInf, 0}, CountCase{3e9, 0}, CountCase{-3e9, 0},
                                         CountCase{2147483647.5, 0}, CountCase{-2147483648.0, 0}));

TEST_F(FrameDriverTest, PositionRunsFromZeroToOneAndOvershootsAfterTheLoop) {
    load("", "F", "", "T");
    std::vector<double> seen;
    double afterLoop = -1;
    host.define("F", [&](FakeHost::Vars& v) {
        afterLoop = v["i"];
        v["n"] = 3;
    });
    host.define("T", [&](FakeHost::Vars& v) { seen.push_back(v["i"]); });
    render();
    EXPECT_EQ(seen, (std::vector<double>{0.0, 0.5, 1.0}));
    render();
    EXPECT_EQ(afterLoop, 1.5);
}

TEST_F(FrameDriverTest, SingleTriangleLeavesPositionAtInfinity) {
    load("", "F", "", "T");
    double afterLoop = 0;
    std::vector<double> seen;
    host.define("F", [&](FakeHost::Vars& v) {
        afterLoop = v["i"];
        v["n"] = 1;
    });
    host.define("T", [&](FakeHost::Vars& v) { seen.push_back(v["i"]); });
    render();
    render();
    EXPECT_EQ(seen, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(afterLoop, kInf);
}

TEST_F(FrameDriverTest, NoTrianglesLeavesPositionAtZero) {
    load("", "F", "", "");
    double afterLoop = -1;
    host.define("F", [&](FakeHost::Vars& v) {
        afterLoop = v["i"];
        v["i"] = 42;
        v["n"] = 0;
    });
    render();
    render();
    EXPECT_EQ(afterLoop, 0.0);
}

TEST_F(FrameDriverTest, SkipLeavesOnlyThatTriangleUndrawn) {
    load("", "F", "", "T");
    host.define("F", [](FakeHost::Vars& v) { v["n"] = 3; });
    host.define("T", [](FakeHost::Vars& v) {
        if (v["skip"] != 0.0) throw std::logic_error("skip must be reset before each triangle");
        v["x1"] = v["i"];
        if (v["i"] == 0.5) v["skip"] = 1;
    });
    render();
    ASSERT_EQ(sink.triangles.size(), 2u);
    EXPECT_EQ(sink.triangles[0].x1, 0.0);
    EXPECT_EQ(sink.triangles[1].x1, 1.0);
}

TEST_F(FrameDriverTest, AnyNonzeroSkipIncludingNaNSkips) {
    load("", "F", "", "T");
    host.define("F", [](FakeHost::Vars& v) { v["n"] = 4; });
    const double skips[] = {-0.0, kNaN, -1e-300, 0.0};
    int k = 0;
    host.define("T", [&](FakeHost::Vars& v) { v["skip"] = skips[k++]; });
    render();
    EXPECT_EQ(sink.triangles.size(), 2u) << "only the two zeros draw";
}

TEST_F(FrameDriverTest, TriangleReceivesVertexOneColourAndDepth) {
    load("", "F", "", "T");
    host.define("F", [](FakeHost::Vars& v) { v["n"] = 1; });
    host.define("T", [](FakeHost::Vars& v) {
        v["x1"] = 0.1; v["y1"] = 0.2; v["x2"] = 0.3; v["y2"] = 0.4; v["x3"] = 0.5; v["y3"] = 0.6;
        v["red1"] = 0.7; v["green1"] = 0.8; v["blue1"] = 0.9; v["red2"] = 0.0; v["z1"] = 12.5;
    });
    render();
    ASSERT_EQ(sink.triangles.size(), 1u);
    const render::TriangleVars& t = sink.triangles[0];
    EXPECT_EQ((std::vector<double>{t.x1, t.y1, t.x2, t.y2, t.x3, t.y3, t.red1, t.green1, t.blue1, t.z1}),
              (std::vector<double>{0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 12.5}));
}

TEST_F(FrameDriverTest, CountChangedInsideTheTriangleSectionAppliesNextFrame) {
    load("I", "", "", "T");
    host.define("I", [](FakeHost::Vars& v) { v["n"] = 1; });
    host.define("T", [](FakeHost::Vars& v) { v["n"] = 5; });
    render();
    EXPECT_EQ(sink.triangles.size(), 1u);
    render();
    EXPECT_EQ(sink.triangles.size(), 6u);
}

TEST_F(FrameDriverTest, DrawingModeIsChosenAfterTheFrameSectionAndBeforeTheBeat) {
    load("", "F", "B", "");
    host.blendModeWord = 0x8007;
    host.define("F", [](FakeHost::Vars& v) { v["zbclear"] = kNaN; });
    host.define("B", [](FakeHost::Vars& v) { v["zbuf"] = 1; });
    render(1);
    render(0);
    ASSERT_EQ(sink.modes.size(), 2u);
    EXPECT_FALSE(sink.modes[0].zbuf) << "the beat's switch waits for the next frame";
    EXPECT_TRUE(sink.modes[0].zbclear) << "NaN counts as on";
    EXPECT_TRUE(sink.modes[1].zbuf);
    EXPECT_EQ(sink.modes[0].blendModeWord, 0x8007u);
}

TEST_F(FrameDriverTest, BeatFlagWithoutBeatSectionChangesNothing) {
    load("", "F", "", "");
    host.failCompile = {""};
    render(0);
    const std::vector<std::string> quiet = callsStartingWith("execute:");
    host.clearCalls();
    render(1);
    render(5);
    EXPECT_EQ(callsStartingWith("execute:"), (std::vector<std::string>{"F", "F"}));
    EXPECT_EQ(quiet, (std::vector<std::string>{"F"}));
}

}  // namespace
