// The everyday functions: values pinned bit for bit (signed zeros
// included), the noise's range, smoothness and platform-independent values,
// and srand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "standin/noise.h"
#include "tests/standin/script_harness.h"

namespace {

using standin_test::ScriptHarness;

struct FunctionCase {
    const char* expression;
    double expected;
};

void PrintTo(const FunctionCase& c, std::ostream* os) { *os << c.expression; }

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class StandinEverydayFunctionTest : public testing::TestWithParam<FunctionCase> {};

TEST_P(StandinEverydayFunctionTest, Computes) {
    ScriptHarness script;
    *script.var("v") = 1.0;  // a variable, so that nothing is folded at compile time
    const double folded = script.value(GetParam().expression);
    EXPECT_TRUE(sameBits(folded, GetParam().expected)) << GetParam().expression << " gave " << folded;
}

const FunctionCase kRounding[] = {
    {"round(2.5)", 3},      {"round(-2.5)", -3},     {"round(1.4999)", 1},   {"round(-0.2)", -0.0},
    {"round(0.49999999999999994)", 0}, {"round(4503599627370497)", 4503599627370497.0},
    {"round(v * 0.5)", 1},  {"trunc(1.7)", 1},       {"trunc(-1.7)", -1},    {"trunc(-0.5)", -0.0},
    {"fract(1.25)", 0.25},  {"fract(-1.25)", 0.75},  {"fract(3)", 0},        {"fract(v * -0.5)", 0.5},
    {"mod(7, 3)", 1},       {"mod(-7, 3)", 2},       {"mod(7, -3)", -2},     {"mod(-7, -3)", -1},
    {"mod(6, 3)", 0},       {"mod(5.5, 2)", 1.5},    {"mod(-v, 4)", 3},      {"step(1, 0.5)", 0},
    {"step(1, 1)", 1},      {"step(1, 2)", 1},       {"step(v, 0)", 0},
};
INSTANTIATE_TEST_SUITE_P(Rounding, StandinEverydayFunctionTest, testing::ValuesIn(kRounding));

const FunctionCase kShapes[] = {
    {"sqr(3)", 9},                  {"sqr(-2)", 4},                  {"sqr(v + 1)", 4},
    {"hypot(3, 4)", 5},             {"hypot(-5, 12)", 13},           {"hypot(v * 3, 4)", 5},
    {"lerp(2, 4, 0.5)", 3},         {"lerp(2, 4, 0)", 2},            {"lerp(2, 4, 1.5)", 5},
    {"lerp(v, 3, 1)", 3},           {"smoothstep(0, 1, 0.5)", 0.5},  {"smoothstep(0, 1, -1)", 0},
    {"smoothstep(0, 1, 2)", 1},     {"smoothstep(0, 2, 0.5)", 0.15625}, {"smoothstep(1, 0, 0.25)", 0.84375},
    {"smoothstep(1, 1, 1)", 1},     {"smoothstep(1, 1, 0.5)", 0},    {"smoothstep(0, v, 0.5)", 0.5},
};
INSTANTIATE_TEST_SUITE_P(Shapes, StandinEverydayFunctionTest, testing::ValuesIn(kShapes));

const FunctionCase kTranscendental[] = {
    {"sinh(0)", 0},          {"cosh(0)", 1},          {"tanh(0)", 0},        {"tanh(1000)", 1},
    {"tanh(-1000)", -1},     {"log2(8)", 3},          {"log2(0.25)", -2},    {"exp2(10)", 1024},
    {"exp2(-1)", 0.5},       {"exp2(v * 3)", 8},      {"sinh(v)", std::sinh(1.0)},
    {"cosh(v)", std::cosh(1.0)}, {"tanh(v)", std::tanh(1.0)}, {"log2(1 / 0)", INFINITY},
};
INSTANTIATE_TEST_SUITE_P(Transcendental, StandinEverydayFunctionTest, testing::ValuesIn(kTranscendental));

// Gradient noise is 0 at whole numbers, and for NaN and infinities.
const FunctionCase kNoiseLattice[] = {
    {"noise(0)", 0},        {"noise(3)", 0},        {"noise(-7)", 0},       {"noise(2, 5)", 0},
    {"noise(-1, 0)", 0},    {"noise(0 / 0)", 0},    {"noise(1 / 0, 0.5)", 0}, {"noise(0.5, -1 / 0)", 0},
    {"noise(1e300)", 0},
};
INSTANTIATE_TEST_SUITE_P(NoiseLattice, StandinEverydayFunctionTest, testing::ValuesIn(kNoiseLattice));

TEST(StandinNoise, StaysInRangeVariesAndIsSmooth) {
    double sum = 0.0;
    double sumSquares = 0.0;
    int count = 0;
    for (double x = -20.0; x < 20.0; x += 0.173) {
        for (const double y : {-3.3, 0.0, 0.41, 7.9}) {
            const double value = y == 0.0 ? standin::noise1(x) : standin::noise2(x, y);
            ASSERT_GE(value, -1.0);
            ASSERT_LE(value, 1.0);
            const double nearby = y == 0.0 ? standin::noise1(x + 1e-7) : standin::noise2(x + 1e-7, y + 1e-7);
            EXPECT_LT(std::fabs(nearby - value), 1e-5) << x << ", " << y;
            sum += value;
            sumSquares += value * value;
            ++count;
        }
    }
    const double mean = sum / count;
    EXPECT_LT(std::fabs(mean), 0.1);
    EXPECT_GT(std::sqrt(sumSquares / count - mean * mean), 0.1);  // not flat
}

// The same bits on every build (64-bit, 32-bit and Windows, all SSE2): the
// noise uses only +, -, *, floor and integer hashing. Taken once from the
// 64-bit build; a platform that drifts fails here.
struct NoiseSample {
    double x, y;
    bool twoD;
    uint64_t bits;
};

const NoiseSample kNoiseSamples[] = {
    {0.3, 0, false, 0xbfd799dd4b9884bbull},       {-5.7, 0, false, 0xbfc82030758193cdull},
    {123.456, 0, false, 0x3fbfbd22d8b41fa6ull},   {0.3, 2.7, true, 0x3fb87545d0377128ull},
    {-12.25, 3.5, true, 0x3f9a800000000000ull},   {1e6 + 0.5, -7.125, true, 0xbfdfef9000000000ull},
};

TEST(StandinNoise, GivesTheSameBitsOnEveryPlatform) {
    for (const NoiseSample& sample : kNoiseSamples) {
        const double value = sample.twoD ? standin::noise2(sample.x, sample.y) : standin::noise1(sample.x);
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        EXPECT_EQ(bits, sample.bits) << sample.x << ", " << sample.y << " gave " << value;
    }
}

TEST(StandinNoise, ScriptsSeeTheSameNoiseAsTheLibrary) {
    ScriptHarness script;
    *script.var("x") = 0.3;
    EXPECT_EQ(script.value("noise(x)"), standin::noise1(0.3));
    EXPECT_EQ(script.value("noise(x, 2.7)"), standin::noise2(0.3, 2.7));
    EXPECT_EQ(script.value("noise(0.3, 2.7)"), standin::noise2(0.3, 2.7));  // folded
}

struct SrandCase {
    const char* expression;
    double expected;
};

void PrintTo(const SrandCase& c, std::ostream* os) { *os << c.expression; }

class StandinSrandTest : public testing::TestWithParam<SrandCase> {};

TEST_P(StandinSrandTest, Computes) {
    ScriptHarness script;
    EXPECT_EQ(script.value(GetParam().expression), GetParam().expected) << GetParam().expression;
}

const SrandCase kSrand[] = {
    {"srand(7)", 7},
    {"srand(5); a = rand(1); srand(5); b = rand(1); a == b", 1},
    {"srand(5); a = rand(1); srand(6); b = rand(1); a != b", 1},
    {"srand(0); a = rand(1); srand(-0); b = rand(1); a == b", 1},
    {"a = rand(1); srand(5); b = rand(1); a != b", 1},
    {"srand(5); a = rand(1); b = rand(1); srand(5); rand(1); c = rand(1); b == c && a != b", 1},
    {"srand(2); a = rand(10); a >= 0 && a < 10", 1},
};
INSTANTIATE_TEST_SUITE_P(Srand, StandinSrandTest, testing::ValuesIn(kSrand));

TEST(StandinSrand, OnlyItsOwnContextRestarts) {
    ScriptHarness first;
    ScriptHarness second;
    const double untouched = second.value("rand(1)");
    ScriptHarness third;
    ASSERT_TRUE(first.run("srand(99)"));
    EXPECT_EQ(third.value("rand(1)"), untouched);
}

}  // namespace
