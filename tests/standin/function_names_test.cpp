// A name followed by '(' is a function; the same name without '(' is an
// ordinary variable, so that no function, old or new, changes what an older
// preset means. Every bundled example still compiles.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/standin/example_presets.h"
#include "tests/standin/script_harness.h"

namespace {

using standin_test::presetSections;
using standin_test::ScriptHarness;

class StandinFunctionNameTest : public testing::TestWithParam<const char*> {};

TEST_P(StandinFunctionNameTest, IsAVariableWithoutParentheses) {
    const std::string name = GetParam();
    ScriptHarness script;
    double* bound = script.var(name.c_str());
    ASSERT_NE(bound, nullptr) << name;
    ASSERT_TRUE(script.run(name + " = 3; " + name + " += 1; other = " + name + " * 2")) << name;
    EXPECT_EQ(*bound, 4.0);
    EXPECT_EQ(*script.var("other"), 8.0);
    EXPECT_EQ(script.value(name + " ^ 2"), 16.0);
}

const char* const kNames[] = {
    "sqr", "hypot", "round", "trunc", "fract", "mod", "lerp", "smoothstep", "step", "sinh", "cosh", "tanh",
    "log2", "exp2", "noise", "srand", "repeat", "while", "mem", "shared", "wave", "spectrum", "bass", "mid",
    "treble", "time", "frame_index", "tempo", "sin", "min", "if", "rand", "clamp",
};
INSTANTIATE_TEST_SUITE_P(Names, StandinFunctionNameTest, testing::ValuesIn(kNames));

TEST(StandinFunctionNames, AVariableAndAFunctionOfOneNameLiveSideBySide) {
    ScriptHarness script;
    EXPECT_EQ(script.value("step = 0.5; step(step, 1) + step"), 1.5);
    EXPECT_EQ(script.value("wave = 2; sqr = wave * 3; sqr(sqr)"), 36.0);
    EXPECT_EQ(script.value("mem = 2; mem[mem] = 5; mem[2] + mem"), 7.0);
    EXPECT_EQ(script.value("repeat = 3; repeat(repeat, repeat += 1); repeat"), 6.0);
}

TEST(StandinFunctionNames, EveryBundledExampleCompiles) {
    DIR* dir = opendir(STANDIN_EXAMPLES_DIR);
    ASSERT_NE(dir, nullptr);
    int presets = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 8 || name.substr(name.size() - 7) != ".preset") continue;
        ++presets;
        const std::vector<std::string> sections = presetSections(std::string(STANDIN_EXAMPLES_DIR) + "/" + name);
        EXPECT_FALSE(sections.empty()) << name;
        for (const std::string& text : sections) {
            StandinDiagnostic diagnostic = {};
            EXPECT_EQ(standin_check_script(text.c_str(), &diagnostic), 1)
                << name << ":" << diagnostic.line << ":" << diagnostic.column << ": " << diagnostic.message;
        }
    }
    closedir(dir);
    EXPECT_GE(presets, 7);
}

}  // namespace
