// A host that fails the effect: no context, no compiled code, no variable,
// or no services table at all. The effect skips the work it cannot do, draws
// nothing it should not, and makes no host call it should not.
#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "guarded_frame.h"
#include "render/frame_renderer.h"
#include "render/triangle_sink.h"
#include "support/effect_fixture.h"
#include "support/fake_host.h"
#include "support/process_state.h"

namespace {

using hardening::GuardedFrame;

constexpr int32_t kWidth = 8;
constexpr int32_t kHeight = 6;

class HostFailureTest : public ProcessStateTest {
protected:
    HostFailureTest() {
        host.define("one", [](FakeHost::Vars& v) { v["n"] = 1; });
        host.define("red cover", [](FakeHost::Vars& v) {
            hardening::coverFrame(v);
            v["red1"] = 1;
            v["green1"] = 0;
            v["blue1"] = 0;
        });
    }

    EffectPtr loadedEffect() {
        EffectPtr effect = makeEffect();
        loadBlock(*effect, presetBlock("", "one", "", "red cover"));
        return effect;
    }

    int32_t render(effect::TriangleEffect& effect) {
        return effect.renderFrame(nullptr, 0, frame.pixels(), nullptr, kWidth, kHeight);
    }

    FakeHost host;
    GuardedFrame frame{kWidth, kHeight};
};

TEST_F(HostFailureTest, NoContextDrawsAndCompilesNothingAndIsAskedForAgainEachFrame) {
    EffectPtr effect = loadedEffect();
    host.refuseContexts = 3;
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(render(*effect), 0);
        EXPECT_TRUE(frame.untouched());
    }
    EXPECT_EQ(host.calls, (std::vector<std::string>(3, "createContext")));
    EXPECT_EQ(effect->recompileCounter(), effect::TriangleEffect::kRecompileFrame) << "nothing compiled yet";

    EXPECT_EQ(render(*effect), 0);
    EXPECT_EQ(frame.at(3, 3), 0x00FF0000u) << "the fourth frame gets a context and draws";
    effect.reset();
    EXPECT_EQ(host.liveContexts(), 0);
    EXPECT_EQ(host.liveCodes(), 0);
}

TEST_F(HostFailureTest, EffectThatNeverGotAContextFreesNothingOfTheHosts) {
    EffectPtr effect = loadedEffect();
    host.refuseContexts = 1;
    render(*effect);
    host.clearCalls();
    effect.reset();
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HostFailureTest, SectionsThatFailToCompileAreNeitherRunNorFreed) {
    host.failCompile = {"I", "one", "B", "red cover"};
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("I", "one", "B", "red cover"));
    for (int k = 0; k < 3; ++k) EXPECT_EQ(effect->renderFrame(nullptr, 1, frame.pixels(), nullptr, kWidth, kHeight), 0);
    EXPECT_TRUE(frame.untouched()) << "nothing set n";
    for (const std::string& call : host.calls) EXPECT_NE(call.rfind("execute:", 0), 0u) << call;
    host.clearCalls();
    effect.reset();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"freeContext"}));
}

// registerVariable returning null for some names: the effect keeps those
// variables privately, starting values included, and the host's scripts
// cannot reach them.
struct RefusedVariables {
    const char* name;
    std::set<std::string> refused;
    uint32_t expectedPixel;  // at row 3, column 3
};

// Test names say enough; the default would print the struct's padding bytes.
void PrintTo(const RefusedVariables& refused, std::ostream* out) { *out << refused.name; }

std::set<std::string> g_refused;

host::RegisterVariableFn g_realRegisterVariable = nullptr;

double* HOST_CDECL refusingRegisterVariable(host::ScriptContext context, const char* name) {
    if (g_refused.count(name) != 0) return nullptr;
    return g_realRegisterVariable(context, name);
}

class RefusedVariableTest : public HostFailureTest, public testing::WithParamInterface<RefusedVariables> {
protected:
    RefusedVariableTest() {
        g_refused = GetParam().refused;
        g_realRegisterVariable = host.table().registerVariable;
        table = host.table();
        table.registerVariable = &refusingRegisterVariable;
        host::setServices(&table);
    }
    ~RefusedVariableTest() override { g_refused.clear(); }

    host::HostServices table{};
};

TEST_P(RefusedVariableTest, EffectFallsBackToItsOwnStorage) {
    EffectPtr effect = loadedEffect();
    EXPECT_EQ(render(*effect), 0);
    EXPECT_EQ(render(*effect), 0);
    EXPECT_TRUE(effect->variablesBound());
    EXPECT_EQ(frame.at(3, 3), GetParam().expectedPixel);
    EXPECT_TRUE(frame.guardsIntact());
}

const std::set<std::string> kAllNames = {"w",  "h",  "n",    "i",     "skip",  "x1",  "y1",     "red1",
                                         "green1", "blue1", "x2", "y2", "red2", "green2", "blue2", "x3",
                                         "y3", "red3", "green3", "blue3", "z1", "zbuf", "zbclear"};

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedVariableTest,
    testing::Values(RefusedVariables{"None", {}, 0x00FF0000u},
                    RefusedVariables{"FrameSize", {"w", "h"}, 0x00FF0000u},
                    RefusedVariables{"LoopVariables", {"i", "skip"}, 0x00FF0000u},
                    // The colour stays at its starting value 1.0: white.
                    RefusedVariables{"Colour", {"red1", "green1", "blue1"}, 0x00FFFFFFu},
                    // "n" stays 0: no triangle.
                    RefusedVariables{"Count", {"n"}, GuardedFrame::kBackground},
                    // Every vertex at (0, 0) of the private storage: a point, nothing drawn.
                    RefusedVariables{"Vertices", {"x1", "y1", "x2", "y2", "x3", "y3"}, GuardedFrame::kBackground},
                    RefusedVariables{"Everything", kAllNames, GuardedFrame::kBackground}),
    [](const testing::TestParamInfo<RefusedVariables>& param) { return std::string(param.param.name); });

TEST_F(HostFailureTest, WithoutAServicesTableRenderFrameAndDestructionDoNothing) {
    host::setServices(nullptr);
    EffectPtr never = loadedEffect();
    for (int k = 0; k < 3; ++k) EXPECT_EQ(render(*never), 0);
    never.reset();
    EXPECT_TRUE(frame.untouched());
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(HostFailureTest, ServicesTableGivenLateIsUsedFromTheNextFrame) {
    EffectPtr effect = loadedEffect();
    host::setServices(nullptr);
    EXPECT_EQ(render(*effect), 0);
    EXPECT_FALSE(effect->variablesBound());
    EXPECT_TRUE(frame.untouched());

    host::setServices(&host.table());
    render(*effect);
    EXPECT_EQ(frame.at(3, 3), 0x00FF0000u);
}

TEST_F(HostFailureTest, TableWithdrawnBeforeDestructionLeavesTheHandlesToTheHost) {
    EffectPtr effect = loadedEffect();
    render(*effect);
    ASSERT_EQ(host.liveCodes(), 4);
    host::setServices(nullptr);
    host.clearCalls();
    effect.reset();
    EXPECT_TRUE(host.calls.empty()) << "nothing to call through";
}

}  // namespace
