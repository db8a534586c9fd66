// The services table as the effect uses it: contexts, variables bound by
// address, code handles, null arguments, the blend-mode word and leak counts.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/standin/script_harness.h"
#include "support/process_state.h"

namespace {

using standin_test::ScriptHarness;

const host::HostServices& services() { return *standin_services(); }

class StandinServices : public ProcessStateTest {};
class StandinRandom : public ProcessStateTest {};
class StandinLeaks : public ProcessStateTest {};
class StandinStress : public ProcessStateTest {};

TEST_F(StandinServices, TableHasTheServicesInTheirSlotsAndTheBlendWord) {
    const host::HostServices& host = services();
    EXPECT_EQ(standin_services(), &host);
    EXPECT_EQ(host.unused0, nullptr);
    EXPECT_EQ(host.unused1, nullptr);
    EXPECT_EQ(host.unused5, nullptr);
    EXPECT_NE(host.createContext, nullptr);
    EXPECT_NE(host.freeContext, nullptr);
    EXPECT_NE(host.registerVariable, nullptr);
    EXPECT_NE(host.compileCode, nullptr);
    EXPECT_NE(host.executeCode, nullptr);
    EXPECT_NE(host.freeCode, nullptr);
    ASSERT_NE(host.blendModeWord, nullptr);
    standin_set_blend_mode_word(0x8007u);
    EXPECT_EQ(*host.blendModeWord, 0x8007u);
    standin_set_blend_mode_word(0u);
    EXPECT_EQ(*host.blendModeWord, 0u);
}

TEST_F(StandinServices, NullArgumentsAreHarmless) {
    const host::HostServices& host = services();
    const int32_t contexts = standin_live_contexts();
    const int32_t codes = standin_live_codes();
    StandinDiagnostic diagnostic = {};

    EXPECT_EQ(host.registerVariable(nullptr, "x"), nullptr);
    EXPECT_EQ(host.compileCode(nullptr, "x = 1"), nullptr);
    ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_EQ(diagnostic.line, 0);
    EXPECT_STREQ(diagnostic.message, "no context");
    host.executeCode(nullptr, nullptr);
    host.freeCode(nullptr);
    host.freeContext(nullptr);

    host::ScriptContext context = host.createContext();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(host.registerVariable(context, nullptr), nullptr);
    EXPECT_EQ(host.compileCode(context, nullptr), nullptr);
    ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_STREQ(diagnostic.message, "no text");
    host.freeContext(context);

    EXPECT_EQ(standin_live_contexts(), contexts);
    EXPECT_EQ(standin_live_codes(), codes);
}

TEST_F(StandinServices, RegisteredVariablesAreBoundByAddress) {
    ScriptHarness script;
    double* in = script.var("in");
    double* out = script.var("out");
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_NE(in, out);
    EXPECT_EQ(*in, 0.0);
    host::CodeHandle code = script.compile("out = in * 2");
    ASSERT_NE(code, nullptr);
    for (double value : {1.5, -4.0, 10.0}) {
        *in = value;  // written after compiling: read at run time
        script.host.executeCode(code, nullptr);
        EXPECT_EQ(*out, value * 2);
    }
}

TEST_F(StandinServices, OneNameOneDoubleWhateverTheCase) {
    ScriptHarness script;
    double* lower = script.var("red1");
    EXPECT_EQ(script.var("red1"), lower);
    EXPECT_EQ(script.var("RED1"), lower);
    EXPECT_EQ(script.var("Red1"), lower);
    EXPECT_NE(script.var("red2"), lower);
}

TEST_F(StandinServices, NamesScriptsCannotReachAreRefused) {
    ScriptHarness script;
    for (const char* name : {"", "1x", "a b", "x-1", "pi", "PI", "mem[1]", "\xC3\xA9"}) {
        EXPECT_EQ(script.var(name), nullptr) << name;
    }
    EXPECT_NE(script.var("_under_score9"), nullptr);
}

TEST_F(StandinServices, VariableFirstUsedByCodeIsTheOneRegisteredLater) {
    ScriptHarness script;
    ASSERT_TRUE(script.run("late = 5; Other = late + 1"));
    double* late = script.var("LATE");
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(*late, 5.0);
    EXPECT_EQ(*script.var("other"), 6.0);
    *late = 20.0;
    ASSERT_TRUE(script.run("other = late + 1"));
    EXPECT_EQ(*script.var("other"), 21.0);
}

TEST_F(StandinServices, UnregisteredVariablesAreSharedByTheCodesOfAContext) {
    ScriptHarness script;
    host::CodeHandle writer = script.compile("t = t + 3");
    host::CodeHandle reader = script.compile("u = t * 10");
    ASSERT_NE(writer, nullptr);
    ASSERT_NE(reader, nullptr);
    script.host.executeCode(writer, nullptr);
    script.host.executeCode(writer, nullptr);
    script.host.executeCode(reader, nullptr);
    EXPECT_EQ(*script.var("u"), 60.0);
}

TEST_F(StandinServices, ContextsDoNotShareVariables) {
    ScriptHarness first;
    ScriptHarness second;
    double* mine = first.var("v");
    double* theirs = second.var("v");
    EXPECT_NE(mine, theirs);
    ASSERT_TRUE(first.run("v = v + 1; w = 7"));
    ASSERT_TRUE(first.run("v = v + 1"));
    ASSERT_TRUE(second.run("v = v + 1; w = w + 1"));
    EXPECT_EQ(*mine, 2.0);
    EXPECT_EQ(*theirs, 1.0);
    EXPECT_EQ(*second.var("w"), 1.0);
}

TEST_F(StandinServices, AddressesStayPutWhileVariablesAreAdded) {
    ScriptHarness script;
    std::vector<double*> early;
    for (int k = 0; k < 50; ++k) early.push_back(script.var(("early" + std::to_string(k)).c_str()));
    std::string text;
    for (int k = 0; k < 2000; ++k) text += "late" + std::to_string(k) + " = " + std::to_string(k) + ";";
    ASSERT_TRUE(script.run(text));
    for (int k = 0; k < 50; ++k) *early[k] = k;
    ASSERT_TRUE(script.run("sum = early0 + early49 + late1999"));
    EXPECT_EQ(*script.var("sum"), 0.0 + 49.0 + 1999.0);
    EXPECT_EQ(script.var("early7"), early[7]);
}

std::vector<double> draws(ScriptHarness& script, const char* text, int count) {
    host::CodeHandle code = script.compile(text);
    EXPECT_NE(code, nullptr);
    std::vector<double> values;
    for (int k = 0; k < count; ++k) {
        script.host.executeCode(code, nullptr);
        values.push_back(*script.var("r"));
    }
    return values;
}

TEST_F(StandinRandom, EveryContextRepeatsTheSameSequence) {
    ScriptHarness first;
    ScriptHarness second;
    const std::vector<double> a = draws(first, "r = rand(100)", 20);
    const std::vector<double> b = draws(second, "r = rand(100)", 20);
    EXPECT_EQ(a, b);
    EXPECT_NE(a[0], a[1]);
}

TEST_F(StandinRandom, CodesOfAContextShareOneGenerator) {
    ScriptHarness oneCode;
    const std::vector<double> reference = draws(oneCode, "r = rand(1)", 4);
    ScriptHarness twoCodes;
    host::CodeHandle a = twoCodes.compile("r = rand(1)");
    host::CodeHandle b = twoCodes.compile("r = rand(1)");
    std::vector<double> values;
    for (host::CodeHandle code : {a, b, b, a}) {
        twoCodes.host.executeCode(code, nullptr);
        values.push_back(*twoCodes.var("r"));
    }
    EXPECT_EQ(values, reference);
}

TEST_F(StandinRandom, StaysInsideItsRange) {
    ScriptHarness script;
    for (double value : draws(script, "r = rand(10)", 2000)) {
        EXPECT_GE(value, 0.0);
        EXPECT_LT(value, 10.0);
    }
    for (double value : draws(script, "r = rand(-2)", 200)) {
        EXPECT_LE(value, 0.0);
        EXPECT_GT(value, -2.0);
    }
    for (double value : draws(script, "r = rand(0)", 10)) EXPECT_EQ(value, 0.0);
}

TEST_F(StandinLeaks, LiveCountsFollowCreationAndRelease) {
    const host::HostServices& host = services();
    const int32_t contexts = standin_live_contexts();
    const int32_t codes = standin_live_codes();
    host::ScriptContext a = host.createContext();
    host::ScriptContext b = host.createContext();
    host::CodeHandle a1 = host.compileCode(a, "x = 1");
    host::CodeHandle a2 = host.compileCode(a, "");
    host::CodeHandle bad = host.compileCode(a, "x = ");
    host::CodeHandle b1 = host.compileCode(b, "y = 2");
    EXPECT_EQ(bad, nullptr);
    EXPECT_EQ(standin_live_contexts(), contexts + 2);
    EXPECT_EQ(standin_live_codes(), codes + 3);
    for (host::CodeHandle code : {a1, a2, b1}) host.freeCode(code);
    EXPECT_EQ(standin_live_codes(), codes);
    host.freeContext(a);
    host.freeContext(b);
    EXPECT_EQ(standin_live_contexts(), contexts);
}

TEST_F(StandinLeaks, CodeOutlivingItsContextStillRunsSafely) {
    const host::HostServices& host = services();
    const int32_t contexts = standin_live_contexts();
    const int32_t codes = standin_live_codes();
    host::ScriptContext context = host.createContext();
    double* x = host.registerVariable(context, "x");
    host::CodeHandle code = host.compileCode(context, "x = x + 1; y = rand(1)");
    ASSERT_NE(code, nullptr);
    host.executeCode(code, nullptr);
    EXPECT_EQ(*x, 1.0);

    host.freeContext(context);
    EXPECT_EQ(standin_live_contexts(), contexts);
    EXPECT_EQ(host.registerVariable(context, "x"), nullptr);
    EXPECT_EQ(host.compileCode(context, "x = 2"), nullptr);
    StandinDiagnostic diagnostic = {};
    ASSERT_EQ(standin_last_diagnostic(&diagnostic), 1);
    EXPECT_STREQ(diagnostic.message, "unknown context");

    host.executeCode(code, nullptr);  // its variables live on with it
    host.freeCode(code);
    EXPECT_EQ(standin_live_codes(), codes);
}

TEST_F(StandinLeaks, FreedHandlesAreIgnored) {
    const host::HostServices& host = services();
    const int32_t contexts = standin_live_contexts();
    const int32_t codes = standin_live_codes();
    host::ScriptContext context = host.createContext();
    host::CodeHandle code = host.compileCode(context, "x = 1");
    host.executeCode(code, nullptr);
    host.freeCode(code);
    host.executeCode(code, nullptr);
    host.freeCode(code);
    host.freeContext(context);
    host.freeContext(context);
    EXPECT_EQ(standin_live_codes(), codes);
    EXPECT_EQ(standin_live_contexts(), contexts);
}

TEST_F(StandinServices, VisDataIsPassedOverUntouched) {
    ScriptHarness script;
    host::CodeHandle code = script.compile("x = 4");
    ASSERT_NE(code, nullptr);
    char opaque[16] = {};
    script.host.executeCode(code, reinterpret_cast<host::VisData*>(opaque));
    EXPECT_EQ(*script.var("x"), 4.0);
}

// Contexts used from separate threads share only the handle registry and
// the last diagnostic (run under ThreadSanitizer by the tsan preset).
TEST_F(StandinStress, ContextsOnSeparateThreads) {
    const int32_t contexts = standin_live_contexts();
    const int32_t codes = standin_live_codes();
    std::vector<double> results(4, 0.0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&results, t] {
            for (int round = 0; round < 200; ++round) {
                ScriptHarness script;
                double* sum = script.var("sum");
                host::CodeHandle code = script.compile("sum = sum + rand(1) * 0 + 1");
                EXPECT_EQ(script.compile("sum = "), nullptr);
                for (int k = 0; k < 10; ++k) script.host.executeCode(code, nullptr);
                results[t] += *sum;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (double result : results) EXPECT_EQ(result, 2000.0);
    EXPECT_EQ(standin_live_contexts(), contexts);
    EXPECT_EQ(standin_live_codes(), codes);
}

}  // namespace
