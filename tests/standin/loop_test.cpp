// repeat and while: how often the body runs, the loop's value, the limit of
// one call and the limit of one run, and loops inside expressions.
#include <gtest/gtest.h>

#include "tests/standin/script_harness.h"

namespace {

using standin_test::ScriptHarness;

constexpr double kCallLimit = 1048576.0;  // iterations of one loop call
constexpr double kRunLimit = 4194304.0;   // iterations of all loops of one run

struct LoopCase {
    const char* expression;  // run in a fresh context; x starts at 0
    double expected;
};

void PrintTo(const LoopCase& c, std::ostream* os) { *os << c.expression; }

class StandinLoopTest : public testing::TestWithParam<LoopCase> {};

TEST_P(StandinLoopTest, Computes) {
    ScriptHarness script;
    EXPECT_EQ(script.value(GetParam().expression), GetParam().expected) << GetParam().expression;
}

const LoopCase kRepeat[] = {
    {"repeat(3, x += 1); x", 3},
    {"repeat(2.9, x += 1); x", 2},
    {"repeat(1, x += 1); x", 1},
    {"repeat(0.99, x += 1); x", 0},
    {"repeat(0, x = 1); x", 0},
    {"repeat(-2, x = 1); x", 0},
    {"repeat(0 / 0, x = 1); x", 0},
    {"repeat(-1 / 0, x = 1); x", 0},
    {"repeat(1 / 0, x += 1); x", kCallLimit},
    {"repeat(2e6, x += 1); x", kCallLimit},
    {"repeat(4, x += 2)", 8},
    {"repeat(0, 5)", 0},
    {"1 + repeat(2, 5)", 6},
    {"repeat(2, 5) * 2 + 1", 11},
    {"n = 3; repeat(n, n += 1); n", 6},
    {"repeat(3, repeat(4, x += 1)); x", 12},
    {"repeat(3, (x += 1; y = x * 10))", 30},
    {"repeat(z ? 5 : 2, x += 1); x", 2},
    {"repeat(3, z ? (x += 1) : (x += 10)); x", 30},
    {"min(repeat(3, x += 1), 2)", 2},
    {"if(1, repeat(2, x += 1), repeat(5, x += 1)); x", 2},
};
INSTANTIATE_TEST_SUITE_P(Repeat, StandinLoopTest, testing::ValuesIn(kRepeat));

const LoopCase kWhile[] = {
    {"while(x < 10, x += 1); x", 10},
    {"while(x < 3, x += 1)", 3},
    {"while(0, x = 5); x", 0},
    {"while(0, 5)", 0},
    {"while(x < 2.5, x += 1); x", 3},
    {"while(1, x += 1); x", kCallLimit},
    {"while(0 / 0, x += 1); x", kCallLimit},
    {"while((x += 1) < 5, y += 1); x * 10 + y", 54},
    {"while(x < 4, (x += 1; y += x))", 10},
    {"repeat(3, (y = 0; while(y < 2, (y += 1; x += 1)))); x", 6},
    {"while(x < 3, repeat(2, x += 1)); x", 4},
    {"while(1, 0); after = 1", 1},
    {"s = 0; j = 0; repeat(10, (j += 1; s += sqr(j))); s", 385},  // the manual's examples
    {"p = 1; while(p <= 1000, p *= 2); p", 1024},
};
INSTANTIATE_TEST_SUITE_P(While, StandinLoopTest, testing::ValuesIn(kWhile));

TEST(StandinLoop, NestedRunawayLoopsStopAtTheLimitOfTheRunAndTheScriptGoesOn) {
    ScriptHarness script;
    ASSERT_TRUE(script.run("repeat(1e9, repeat(1e9, x += 1)); while(1, y += 1); done = 1"));
    const double inner = *script.var("x");
    EXPECT_EQ(*script.var("done"), 1.0);
    // At least three full inner loops ran; all iterations together, outer
    // ones included, stay within the limit of one run.
    EXPECT_GE(inner, 3 * kCallLimit);
    EXPECT_LE(inner, kRunLimit);
    EXPECT_EQ(*script.var("y"), 0.0);  // nothing was left for the last loop
}

TEST(StandinLoop, TheLimitOfARunStartsAfreshEveryRun) {
    ScriptHarness script;
    host::CodeHandle code = script.compile("while(1, x += 1)");
    ASSERT_NE(code, nullptr);
    for (int run = 1; run <= 5; ++run) {
        script.host.executeCode(code, nullptr);
        EXPECT_EQ(*script.var("x"), run * kCallLimit);
    }
}

}  // namespace
