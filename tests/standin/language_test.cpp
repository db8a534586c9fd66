// What scripts compute: literals, precedence, associativity, functions,
// laziness, assignments and sequences.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "standin/functions.h"
#include "tests/standin/script_harness.h"

namespace {

using standin_test::ScriptHarness;

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ValueCase {
    const char* expression;
    double expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.expression; }

// Compared bit for bit, so that -0 and 0 differ.
bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class StandinValueTest : public testing::TestWithParam<ValueCase> {};

TEST_P(StandinValueTest, Computes) {
    ScriptHarness script;
    const double got = script.value(GetParam().expression);
    EXPECT_TRUE(sameBits(got, GetParam().expected)) << GetParam().expression << " gave " << got;
}

const ValueCase kLiterals[] = {
    {"3", 3.0},     {"0.5", 0.5},         {".5", 0.5},   {"2.", 2.0},       {"1e-3", 0.001},
    {"1E+3", 1000}, {"1.5e2", 150},       {"007", 7},    {"0.1", 0.1},      {"1e308", 1e308},
    {"pi", standin::kPi}, {"PI", standin::kPi}, {"4.9e-324", 4.9e-324},
};
INSTANTIATE_TEST_SUITE_P(Literals, StandinValueTest, testing::ValuesIn(kLiterals));

const ValueCase kPrecedence[] = {
    {"1 + 2 * 3", 7},        {"(1 + 2) * 3", 9},      {"10 - 4 - 3", 3},       {"64 / 4 / 2", 8},
    {"2 ^ 3 ^ 2", 512},      {"(2 ^ 3) ^ 2", 64},     {"-2 ^ 2", 4},           {"2 ^ -2", 0.25},
    {"-(2 ^ 2)", -4},        {"2 * 3 ^ 2", 18},       {"7 % 3 * 2", 2},        {"1 + 7 % 4", 4},
    {"-7 % 3", -1},          {"7.5 % 2", 1.5},        {"--3", 3},              {"-+-3", 3},
    {"!0 + 1", 2},           {"!(0 + 1)", 0},         {"!!5", 1},              {"!-0", 1},
    {"1 + 2 < 4", 1},        {"1 < 2 == 1", 1},       {"3 > 2 > 1", 0},        {"1 < 2 < 3", 1},
    {"2 <= 2", 1},           {"2 >= 3", 0},           {"1 == 1 && 2 == 2", 1}, {"1 != 1 || 0", 0},
    {"1 || 0 && 0", 1},      {"(1 || 0) && 0", 0},    {"0 && 1 || 1", 1},      {"2 && 3", 1},
    {"0 || -4", 1},          {"1 ? 2 : 3", 2},        {"0 ? 2 : 3", 3},        {"0 ? 1 : 0 ? 2 : 3", 3},
    {"1 ? 0 ? 4 : 5 : 6", 5}, {"1 + 1 ? 7 : 8", 7},   {"0 || 0 ? 1 : 2", 2},   {"3 - -3", 6},
    {"1 / 0", kInf},         {"-1 / 0", -kInf},       {"-0", -0.0},            {"0 * -1", -0.0},
};
INSTANTIATE_TEST_SUITE_P(Precedence, StandinValueTest, testing::ValuesIn(kPrecedence));

const ValueCase kFunctions[] = {
    {"sqrt(16)", 4},           {"pow(2, 10)", 1024},     {"abs(-3)", 3},           {"floor(-1.5)", -2},
    {"ceil(-1.5)", -1},        {"min(3, 2)", 2},         {"max(3, 2)", 3},         {"min(0, -0)", -0.0},
    {"max(-0, 0)", 0},         {"min(0 / 0, 1)", 1},     {"max(2, 0 / 0)", 2},     {"clamp(5, 0, 2)", 2},
    {"clamp(-1, 0, 2)", 0},    {"clamp(1.5, 0, 2)", 1.5}, {"sign(-3)", -1},        {"sign(0.1)", 1},
    {"sign(-0)", -0.0},        {"exp(0)", 1},            {"log(1)", 0},            {"log10(1000)", 3},
    {"sin(0)", 0},             {"cos(0)", 1},            {"tan(0)", 0},            {"asin(1)", standin::kPi / 2},
    {"acos(1)", 0},            {"atan(0)", 0},           {"atan2(1, 1) * 4", standin::kPi},
    {"atan2(0, -1)", standin::kPi}, {"SIN(0) + Cos(0)", 1}, {"if(1, 2, 3)", 2},    {"if(0, 2, 3)", 3},
    {"if(0 / 0, 2, 3)", 2},    {"sqrt(sqrt(256))", 4},   {"min(1, 2) + max(3, 4) * 2", 9},
};
INSTANTIATE_TEST_SUITE_P(Functions, StandinValueTest, testing::ValuesIn(kFunctions));

const ValueCase kCommentsAndSpace[] = {
    {"1 /* two */ + 2", 3},     {"1 +/* a\nb */2", 3},     {"\r\n1\r+\n2\t", 3},      {"1 // 5\n + 1", 2},
    {"1 /* // */ + 1", 2},      {"1 /**/ * 3", 3},         {"(1; 2; 3)", 3},          {"(a = 1; b = a + 1)", 2},
    {"(;4;)", 4},               {"(5;;)", 5},              {"((1; 2) + (3; 4))", 6},
};
INSTANTIATE_TEST_SUITE_P(CommentsAndSequences, StandinValueTest, testing::ValuesIn(kCommentsAndSpace));

// z is a fresh variable (0): branches and constants meet around jump targets.
const ValueCase kBranchesAndConstants[] = {
    {"(z ? 1 : 2) + 3", 5},    {"(!z ? 1 : 2) + 3", 4},   {"if(z, 1, 2) * 10", 20},  {"(z && 1) - 1", -1},
    {"(z || 1) - 1", 0},       {"-(z ? 3 : 4)", -4},      {"!(z ? 0 : 4)", 0},       {"(z ? 1 : 2; 7)", 7},
    {"(z || z) + (z && z)", 0}, {"z ? 1 : z ? 2 : 3 + 4", 7}, {"(1 + 2) * (z ? 3 : 4) ^ 2", 48},
    {"min(z ? 1 : 2, 3) + max(if(z, 5, 6), 0)", 8},
};
INSTANTIATE_TEST_SUITE_P(BranchesAndConstants, StandinValueTest, testing::ValuesIn(kBranchesAndConstants));

TEST(StandinValue, NaNIsTrueAndUnequalToItself) {
    ScriptHarness script;
    EXPECT_TRUE(std::isnan(script.value("0 / 0")));
    EXPECT_EQ(script.value("nan = 0 / 0; nan == nan"), 0.0);
    EXPECT_EQ(script.value("nan != nan"), 1.0);
    EXPECT_EQ(script.value("nan ? 1 : 2"), 1.0);
    EXPECT_EQ(script.value("!nan"), 0.0);
    EXPECT_EQ(script.value("nan && 1"), 1.0);
    EXPECT_EQ(script.value("0 || nan"), 1.0);
    EXPECT_TRUE(std::isnan(script.value("sign(nan)")));
}

// Each script runs in a fresh context; "hit" shows whether a side ran.
struct LazyCase {
    const char* script;
    double hit;
    double result;
};

void PrintTo(const LazyCase& c, std::ostream* os) { *os << c.script; }

class StandinLazinessTest : public testing::TestWithParam<LazyCase> {};

TEST_P(StandinLazinessTest, OnlyTheChosenSideRuns) {
    ScriptHarness script;
    double* hit = script.var("hit");
    double* result = script.var("result");
    ASSERT_TRUE(script.run(GetParam().script));
    EXPECT_EQ(*hit, GetParam().hit);
    EXPECT_EQ(*result, GetParam().result);
}

const LazyCase kLazy[] = {
    {"result = 0 && (hit = 1)", 0, 0},          {"result = 2 && (hit = 1)", 1, 1},
    {"result = 1 || (hit = 1)", 0, 1},          {"result = 0 || (hit = 5)", 5, 1},
    {"result = 0 || (hit = 0)", 0, 0},          {"result = 1 ? 7 : (hit = 1)", 0, 7},
    {"result = 0 ? (hit = 1) : 8", 0, 8},       {"result = 1 ? (hit = 3) : 9", 3, 3},
    {"result = if(1, 7, hit = 1)", 0, 7},       {"result = if(0, hit = 1, 8)", 0, 8},
    {"result = if(hit = 2, 7, 8)", 2, 7},       {"result = 0 && (hit = 1) || 4", 0, 1},
    {"result = 1 ? hit = 6 : result = 9", 6, 6}, {"result = 0 ? hit = 6 : 9", 0, 9},
    {"result = 0 && rand(hit = 1)", 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Laziness, StandinLazinessTest, testing::ValuesIn(kLazy));

// Scripts and the values they leave in a, b and c.
struct AssignCase {
    const char* script;
    double a, b, c;
};

void PrintTo(const AssignCase& c, std::ostream* os) { *os << c.script; }

class StandinAssignmentTest : public testing::TestWithParam<AssignCase> {};

TEST_P(StandinAssignmentTest, StoresAndYieldsTheStoredValue) {
    ScriptHarness script;
    double* a = script.var("a");
    double* b = script.var("b");
    double* c = script.var("c");
    ASSERT_TRUE(script.run(GetParam().script));
    EXPECT_EQ(*a, GetParam().a);
    EXPECT_EQ(*b, GetParam().b);
    EXPECT_EQ(*c, GetParam().c);
}

const AssignCase kAssignments[] = {
    {"a = 5", 5, 0, 0},
    {"a = 5; a += 2", 7, 0, 0},
    {"a = 5; a -= 2", 3, 0, 0},
    {"a = 5; a *= 2", 10, 0, 0},
    {"a = 5; a /= 2", 2.5, 0, 0},
    {"a = b = c = 7", 7, 7, 7},
    {"b = (a = 3) + 1", 3, 4, 0},
    {"a = 1; b = (a += 2) * 10", 3, 30, 0},
    {"a = 2; b = 3; a += b += 1", 6, 4, 0},
    {"a = 2; a *= a + 1", 6, 0, 0},
    {"a = 10; a -= 3 - 1", 8, 0, 0},
    {"c = 1 ? a = 4 : b = 5", 4, 0, 4},
    {"c = 0 ? a = 4 : b = 5", 0, 5, 5},
    {"a = 2; b = a ^ 2 ^ 3", 2, 256, 0},
    {"A = 1; b = a + 1; C = B * 3", 1, 2, 6},
    {"a = 1;;; b = 2;", 1, 2, 0},
    {"a = 3; c = (b = a; b * 2)", 3, 3, 6},
    {"a = -a + 4; b = -a", 4, -4, 0},
    {"a = 1; a = a + (a = 5)", 6, 0, 0},
    {"a = 0 / 0; b = a == a; c = a != a; a = 1", 1, 0, 1},
};
INSTANTIATE_TEST_SUITE_P(Assignments, StandinAssignmentTest, testing::ValuesIn(kAssignments));

TEST(StandinLanguage, EmptyTextsCompileToCodeThatDoesNothing) {
    for (const char* text : {"", ";", ";;", "  \r\n\t", "// nothing", "/* nothing */;"}) {
        ScriptHarness script;
        host::CodeHandle code = script.compile(text);
        ASSERT_NE(code, nullptr) << text;
        script.host.executeCode(code, nullptr);
    }
}

TEST(StandinLanguage, ConstantExpressionsFoldToTheSameValuesAsVariables) {
    // Folded at compile time on one side, computed at run time on the other.
    ScriptHarness script;
    *script.var("two") = 2.0;
    *script.var("third") = 1.0 / 3.0;
    EXPECT_EQ(script.value("sin(2) * 1 / 3"), script.value("sin(two) * 1 / 3"));
    EXPECT_EQ(script.value("2 ^ 0.5 + 1 % 3"), script.value("two ^ 0.5 + 1 % 3"));
    EXPECT_EQ(script.value("1 / 3"), script.value("third"));
}

TEST(StandinLanguage, LongPrefixAndAssignmentChainsCompile) {
    ScriptHarness script;
    EXPECT_EQ(script.value(standin_test::repeat("-", 100001) + "1"), -1.0);
    EXPECT_EQ(script.value(standin_test::repeat("!", 100000) + "5"), 1.0);
    *script.var("x") = 3.0;  // not folded: 100000 instructions
    EXPECT_EQ(script.value(standin_test::repeat("-!", 50000) + "x"), -1.0);
    ASSERT_TRUE(script.run(standin_test::repeat("v = ", 100000) + "x = 3"));
    EXPECT_EQ(*script.var("v"), 3.0);
    ASSERT_TRUE(script.run("y = 1; " + standin_test::repeat("y += ", 1000) + "1"));
    EXPECT_EQ(*script.var("y"), 1001.0);  // every y on the left is read before the right side runs
}

TEST(StandinLanguage, LongLeftAssociativeChainsRunInAFixedStack) {
    ScriptHarness script;
    *script.var("one") = 1.0;
    EXPECT_EQ(script.value("0" + standin_test::repeat(" + one", 200000)), 200000.0);
    EXPECT_EQ(script.value("1" + standin_test::repeat(" * (one + one)", 20)), 1048576.0);
}

}  // namespace
