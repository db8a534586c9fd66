// mem[] and shared[]: reads, writes and every assignment operator on their
// elements, indexes rounded down, and indexes outside the array (NaN,
// infinities, negatives, huge) read 0 and write nothing.
#include <gtest/gtest.h>

#include <string>

#include "tests/standin/script_harness.h"

namespace {

using standin_test::ScriptHarness;

struct MemoryCase {
    const char* expression;  // run in a fresh context
    double expected;
};

void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.expression; }

class StandinMemoryTest : public testing::TestWithParam<MemoryCase> {};

TEST_P(StandinMemoryTest, Computes) {
    ScriptHarness script;
    EXPECT_EQ(script.value(GetParam().expression), GetParam().expected) << GetParam().expression;
}

const MemoryCase kElements[] = {
    {"mem[0]", 0},
    {"mem[3] = 5; mem[3]", 5},
    {"mem[5] = 6", 6},
    {"x = mem[5] = 6; x + mem[5]", 12},
    {"mem[2] = mem[3] = 4; mem[2] + mem[3]", 8},
    {"mem[1 + 1] = 7; mem[2]", 7},
    {"mem[(1; 2)] = 3; mem[2]", 3},
    {"mem[z ? 1 : 2] = 5; mem[2]", 5},
    {"mem[mem[1] = 2] = 3; mem[2] * 10 + mem[1]", 32},
    {"mem[4] = 3; mem[4] += 2; mem[4]", 5},
    {"mem[4] = 3; mem[4] -= 2; mem[4]", 1},
    {"mem[4] = 3; mem[4] *= 2; mem[4]", 6},
    {"mem[4] = 3; mem[4] /= 2; mem[4]", 1.5},
    {"k = 4; mem[k + 1] += 2; mem[k + 1] += 2; mem[5]", 4},
    {"mem[4] = 3; b = (mem[4] += 2) * 10", 50},
    {"mem[1] = 2; mem[1] = mem[1] + mem[1] * 3", 8},
    {"mem[2] = 9; mem[1] + mem[2] + mem[3]", 9},
    {"mem = 3; mem[0] = 4; mem + mem[0]", 7},
    {"repeat(3, (mem[k] = k * k; k += 1)); mem[0] + mem[1] + mem[2]", 5},
};
INSTANTIATE_TEST_SUITE_P(Elements, StandinMemoryTest, testing::ValuesIn(kElements));

const MemoryCase kIndexes[] = {
    {"mem[3.9] = 5; mem[3]", 5},
    {"mem[3] = 5; mem[3.999]", 5},
    {"mem[-0] = 5; mem[0]", 5},
    {"mem[1048575.5] = 2; mem[1048575]", 2},
    {"mem[1048576] = 2; mem[1048576]", 0},
    {"mem[-0.5] = 2; mem[-0.5] + mem[0]", 0},
    {"mem[-1] = 2; mem[-1]", 0},
    {"mem[0 / 0] = 2; mem[0 / 0] + mem[0]", 0},
    {"mem[1 / 0] = 2; mem[1 / 0] + mem[-1 / 0]", 0},
    {"mem[1e300] = 2; mem[1e300] + mem[-1e300]", 0},
    {"mem[4294967296] = 2; mem[4294967296] + mem[0]", 0},
    {"mem[0 / 0] = 6", 6},
    {"mem[-1] += 6", 6},
    {"shared[-1] = 2; shared[-1] + shared[1e300] + shared[0 / 0]", 0},
};
INSTANTIATE_TEST_SUITE_P(Indexes, StandinMemoryTest, testing::ValuesIn(kIndexes));

TEST(StandinMemory, MemIsPerContextAndSharedIsOneForAll) {
    ScriptHarness first;
    ScriptHarness second;
    ASSERT_TRUE(first.run("mem[10] = 5; shared[1000010] = 7"));
    EXPECT_EQ(second.value("mem[10]"), 0.0);
    EXPECT_EQ(second.value("shared[1000010]"), 7.0);
    EXPECT_EQ(first.value("mem[10]"), 5.0);
    ASSERT_TRUE(second.run("shared[1000010] = 0"));
    EXPECT_EQ(first.value("shared[1000010]"), 0.0);
}

TEST(StandinMemory, ValuesSurviveRecompilation) {
    ScriptHarness script;
    ASSERT_TRUE(script.run("mem[3] = 9; shared[1000003] = 8"));
    // A new code of the same context, as the effect compiles after an edit.
    EXPECT_EQ(script.value("mem[3] + shared[1000003]"), 17.0);
    ASSERT_TRUE(script.run("shared[1000003] = 0"));
}

TEST(StandinMemory, AnIndexRunsOnceEvenForCompoundAssignments) {
    ScriptHarness script;
    ASSERT_TRUE(script.run("mem[k += 1] += 5; mem[k += 1] *= 2"));
    EXPECT_EQ(*script.var("k"), 2.0);
    EXPECT_EQ(script.value("mem[1] * 10 + mem[2]"), 50.0);
}

}  // namespace
