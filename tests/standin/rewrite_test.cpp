// The emitter's rewrites and the threaded interpreter change no result: every
// script here runs with and without them (tests/standin/rewrite_check.h) and
// must end with the same bits everywhere. And the shapes the rewrites are for
// do become the short code they are meant to.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "standin/compiler.h"
#include "standin/rewrite_check.h"
#include "tests/standin/example_presets.h"

namespace {

using standin::RewriteCheck;
using standin::Start;
using standin_test::filesIn;
using standin_test::presetSections;

standin::MusicFrame* musicFrame() {
    static standin::MusicFrame* frame = [] {
        auto* made = new standin::MusicFrame;
        made->time = 2.25;
        made->frameIndex = 135;
        made->tempo = 124;
        made->bass = 1.5;
        made->mid = 0.75;
        made->treble = 0.25;
        made->binHz = 10.7666015625;
        for (int k = 0; k < standin::MusicFrame::kWaveSamples; ++k) {
            made->wave[0][k] = static_cast<float>(k % 50) / 25.0f - 1.0f;
            made->wave[1][k] = static_cast<float>(k % 7) / 7.0f;
        }
        for (int k = 0; k < standin::MusicFrame::kSpectrumBins; ++k)
            made->spectrum[0][k] = made->spectrum[1][k] = static_cast<float>(k % 13) / 13.0f;
        return made;
    }();
    return frame;
}

void expectSame(const std::vector<std::string>& texts, const std::string& what) {
    for (const Start start : {Start::Ordinary, Start::Awkward}) {
        const std::string difference = RewriteCheck::compare(texts, start, 3, musicFrame());
        EXPECT_EQ(difference, "") << what << (start == Start::Awkward ? " (awkward values)" : "");
    }
}

// Every shape the emitter rewrites, with each kind of operand, and the places
// where rewriting must stop (jump targets, memory targets, values in use).
const char* const kShapes[] = {
    // variable and constant operands of every operator, dropped and kept
    "v = x1 + 0.5; v = x1 - y1; v = 2 - x1; v = x1 * 3; v = y1 / x1; v = 7 / x1; v = x1 % 0.3; v = 2 % x1",
    "v = x1 ^ 2; v = 2 ^ y1; v = x1 ^ y1; v = x1 < 0.5; v = 1 <= y1; v = x1 > y1; v = x1 >= 0; v = x1 == x1",
    "v = x1 != y1; v = 0 == x1; v = n != 100; v = -x1 * 2; v = -(x1 * 2); v = !x1 + 1",
    "a = x1 + 1; b = a * 2 + a; k = (x1 + 1) * (y1 - 1); t = x1 * y1 + (x2 * 2 - y2 / 3)",
    // a * k + b and its near misses
    "a = i * 1237.1 + t; b = i * 3 + 2; k = i * t + a; v = i * 2 - t; x1 = 2 * i + t; y1 = i * 2 + t * 3",
    // a call with its operator
    "x1 = 0.5 * sin(a); y1 = 0.5 * cos(a); x2 = x1 * sin(y1); y2 = y1 + sqrt(x1); x3 = 1 - abs(y1); y3 = 2 / exp(i)",
    "v = sin(x1); k = floor(v) + 0.5 * sqrt(abs(y1)); t = 0.5 + 0.5 * sin(a); b = sin(a) * 0.5; a = sqrt(i) - 1",
    "v = x1 - sin(x1); v = 3 * sin(x1) * 2; v = (2 * sin(x1)) / (y1 * cos(y1)); v = noise(x1) * 4 + noise(y1, v)",
    // copies and chains
    "y2 = y1; x3 = x1; red1 = i; a = b = x1 * 2; k = t = sin(x1); v = (a = 2 * cos(b)) + 1",
    "x1 += 1; y1 -= x1 * 2; x2 *= sin(y1); y2 /= 2 + x1; t += t * 0.5 + 1",
    // the value of the last assignment, and of an expression statement
    "x1 * 2 + sin(y1)", "v = x1 + 1", "(v = sin(x1))", "x1 = y1", "sin(x1)",
    // around jumps: branches, logic, loops
    "v = x1 > 0 ? x1 * 2 : y1 + 1; k = (x1 < y1 ? sin(x1) : cos(y1)) * 0.5 + t",
    "v = if(x1, 2 * sin(x1), y1 * 3 + 1) + 1; k = x1 && y1 * 2; t = x1 || 0 * y1; b = !(x1 * 2 > y1)",
    "k = 0; repeat(5, k = k * 1.5 + 1); t = 0; while(t < 9, t = t + 1.5 * sin(t)); v = repeat(3, k * 2)",
    "x = 0; y = 1; repeat(1000, (x += 1; y = y * 0.999 + x * 0.5 - 2))",
    // memory targets and indexes
    "mem[x1 * 4 + 2] = y1 * 3; mem[2] += sin(y1); v = mem[k + 1] * 2 + mem[2]; mem[i * 10] = mem[i * 10 + 1] * 0.5",
    "shared[k * 2] = x1 + 1; v = shared[k * 2] * 2 + t",
    // music and random generators keep their order
    "srand(x1); v = rand(2) * 3 + rand(1); k = bass() * 2 + wave(i * 2, 0) * sin(time())",
    // calls made once for several uses, and where that must stop
    "x1 = 0.5 * sin(a); y1 = 0.5 * cos(a); x2 = r * sin(a); a = a + 1; y2 = cos(a) + sin(a); t = 1 - cos(a)",
    "v = sin(a); k = x1 > 0 ? (a = 3) : 0; w = sin(a); b = cos(k); k = 2; t = cos(k)",
    "v = cos(k); repeat(3, (w = sin(k) + cos(k); k += 1)); t = sin(k); b = while(t < 3, t += cos(k))",
    "v = x1 > 0 ? sin(x1) * 2 : 0; w = cos(x1) * 2; t = (y1 ? sin(y1) : 1) + cos(y1); b = y1 * sin(y1)",
    "a = sin(a); b = sin(a); k = cos(a) * 2; mem[sin(a)] = cos(a); t = a += 1; v = sin(a)",
    "v = sqrt(i) * 2; w = 3 * sqrt(i); t = sqrt(i); i = sqrt(i); k = sqrt(i) + sqrt(i)",
    "v = tan(x1) + 1; w = sin(x1) * tan(x1); t = cos(x1) - tan(x1); b = x1 / sin(x1)",
    "x1 = sin(x1); y1 = cos(x1); x2 = sin(y1) * cos(y1); y2 = sin(y2) + y2; x3 = cos(x3); y3 = sin(x3)",
    // NaN operands whose payload and sign depend on the order
    "v = (0 / 0) * -(0 / 0); k = -(0 / 0) + x1 * 2; t = 2 * -(0 / 0); b = -(0 / 0) - (0 / 0) * 2",
    // errors at the same place with the same words
    "v = x1 * * 2", "v = sin(x1", "v = 2 * mem[3", "v = foo(2)", "v = sin(1, 2) * 3",
};

TEST(StandinRewrites, ChangeNoResultOfAnyShape) {
    for (const char* shape : kShapes) expectSame({shape}, shape);
}

// More calls than the sharing pass remembers: the oldest is called again.
TEST(StandinRewrites, ChangeNoResultWithManyCallsBetween) {
    std::string text = "a0 = 0.5; w = sin(a0) * 2;";
    for (int k = 1; k < 40; ++k) {
        const std::string name = "a" + std::to_string(k);
        text += " " + name + " = " + std::to_string(k) + "; v = cos(" + name + ") + v;";
    }
    text += " w = w + 3 * sin(a0) + cos(a39) * 2; t = cos(a0)";
    expectSame({text}, "many calls");
}

TEST(StandinRewrites, ChangeNoResultOfABundledExample) {
    const std::vector<std::string> presets = filesIn(STANDIN_EXAMPLES_DIR, ".preset");
    EXPECT_GE(presets.size(), 7u);
    for (const std::string& name : presets) {
        const std::vector<std::string> sections = presetSections(std::string(STANDIN_EXAMPLES_DIR) + "/" + name);
        ASSERT_FALSE(sections.empty()) << name;
        expectSame(sections, name);
    }
}

TEST(StandinRewrites, ChangeNoResultOfTheFuzzSeeds) {
    const std::vector<std::string> seeds = filesIn(STANDIN_SCRIPT_CORPUS_DIR, "");
    EXPECT_GE(seeds.size(), 15u);
    for (const std::string& name : seeds) {
        std::ifstream file(std::string(STANDIN_SCRIPT_CORPUS_DIR) + "/" + name, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        expectSame({text.str().c_str()}, name);  // the effect's texts end at a NUL
    }
}

// The check itself finds a difference in any one bit, generator or element.
TEST(StandinRewrites, TheCheckSeesEveryKindOfDifference) {
    const auto differenceAfter = [](void (*change)(standin::Context&)) {
        standin::Context a, b;
        *a.variable("v") = *b.variable("v") = 0.0;
        a.memory();
        b.memory();
        change(b);
        return RewriteCheck::differences(a, b);
    };
    EXPECT_EQ(differenceAfter([](standin::Context&) {}), "");
    EXPECT_NE(differenceAfter([](standin::Context& c) { *c.variable("v") = -0.0; }), "");
    EXPECT_NE(differenceAfter([](standin::Context& c) { *c.variable("other") = 0.0; }), "");
    EXPECT_NE(differenceAfter([](standin::Context& c) { *c.randomState() += 1; }), "");
    EXPECT_NE(differenceAfter([](standin::Context& c) { c.memory()[1048575] = 1e-300; }), "");
}

struct ShapeSize {
    const char* text;
    size_t instructions;  // End included
};

void PrintTo(const ShapeSize& c, std::ostream* os) { *os << c.text; }

class StandinRewriteSizeTest : public testing::TestWithParam<ShapeSize> {};

TEST_P(StandinRewriteSizeTest, BecomesItsShortForm) {
    standin::Context context;
    EXPECT_EQ(standin::compile(GetParam().text, context).code.size(), GetParam().instructions) << GetParam().text;
}

const ShapeSize kSizes[] = {
    {"v = x1 + 0.5", 2},
    {"v = x1 * y1", 2},
    {"v = 1 - i", 2},
    {"y2 = y1", 2},
    {"a = i * 1237.1 + t", 2},
    {"x1 = 0.5 * sin(a)", 2},
    {"x1 = r * sin(a)", 2},
    {"r = sqrt(i)", 2},
    {"v = x1 + 0.5; w = 2; y2 = y1", 4},
    {"a = i * 1237.1 + t; r = 0.85 * sqrt(i);\n"
     "x1 = r * sin(a); y1 = r * cos(a); x2 = x1 + 0.045; y2 = y1; x3 = x1; y3 = y1 + 0.06;\n"
     "red1 = i; blue1 = 1 - i;",
     12},                                    // sin and cos of a at once
    {"x1 = 0.5 * sin(a); y1 = 0.5 * cos(a)", 4},
    {"v = sin(a); w = 2 * sin(a)", 4},       // one call, its result read twice
    {"v = sin(a); a = 1; w = sin(a)", 4},    // a changed: called again
    {"v = sin(a); w = x1 ? 2 : 3; t = cos(a)", 9},  // a jump target between: called again
    {"v = 0.5 + 0.5 * sin(a)", 4},           // the call's form, k + acc, the store
    {"v = x1 * 2 + y1 * 3", 5},              // two pushes, an add, the store
    {"repeat(10, (x += 1; y = y * 0.999 + x * 0.5 - 2))", 10},
};
INSTANTIATE_TEST_SUITE_P(Shapes, StandinRewriteSizeTest, testing::ValuesIn(kSizes));

}  // namespace
