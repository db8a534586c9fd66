// The --strict warnings: set-but-never-read names one typo from an effect
// variable, and effect variables read before anything sets them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "previewer/script_lint.h"

namespace {

using previewer::PresetFile;
using previewer::ScriptProblem;

struct LintCase {
    const char* name;
    const char* init;
    const char* frame;
    const char* beat;
    const char* triangle;
    // "section:line:column message", in order
    std::vector<std::string> expected;
};

void PrintTo(const LintCase& c, std::ostream* os) { *os << c.name; }

class ScriptLintTest : public testing::TestWithParam<LintCase> {};

TEST_P(ScriptLintTest, Warns) {
    const LintCase& c = GetParam();
    PresetFile preset;
    preset.sections = {c.init, c.frame, c.beat, c.triangle};
    std::vector<std::string> got;
    for (const ScriptProblem& warning : previewer::lintPreset(preset)) {
        got.push_back(std::to_string(warning.section) + ":" + std::to_string(warning.line) + ":" +
                      std::to_string(warning.column) + " " + warning.message);
    }
    EXPECT_EQ(got, c.expected);
}

const LintCase kTypos[] = {
    {"nn next to n", "", "nn = 3", "", "x1 = i",
     {"1:1:1 warning: 'nn' is set but never read; did you mean 'n'?"}},
    {"dropped letter", "red = 1", "", "", "",
     {"0:1:1 warning: 'red' is set but never read; did you mean 'red1'?"}},
    {"swapped letters", "", "", "", "bleu1 = 0.5",
     {"3:1:1 warning: 'bleu1' is set but never read; did you mean 'blue1'?"}},
    {"added letter and swap", "", "", "zbuff = 1; zbclaer = 1", "",
     {"2:1:1 warning: 'zbuff' is set but never read; did you mean 'zbuf'?",
      "2:1:12 warning: 'zbclaer' is set but never read; did you mean 'zbclear'?"}},
    {"changed letter", "", "", "", "skop = 1",
     {"3:1:1 warning: 'skop' is set but never read; did you mean 'skip'?"}},
    {"read somewhere is fine", "nn = 3", "", "", "x1 = nn", {}},
    {"short names are not typos", "a = 1; k = 2; t = 3", "", "", "", {}},
    {"far names are fine", "speed = 1", "", "", "", {}},
    {"compound assignment reads", "", "nn += 1", "", "", {}},
    {"reported once", "", "nn = 1; nn = 2", "", "",
     {"1:1:1 warning: 'nn' is set but never read; did you mean 'n'?"}},
    {"calls and memory are not variables", "", "mem[1] = 2; x = sin(1); x1 = x", "", "", {}},
};
INSTANTIATE_TEST_SUITE_P(Typos, ScriptLintTest, testing::ValuesIn(kTypos));

const LintCase kReadBeforeSet[] = {
    {"own variable read first", "", "", "", "x2 = x1 + 0.1; x1 = i",
     {"3:1:6 warning: 'x1' is read before anything sets it"}},
    {"set by an earlier section", "", "x1 = 0", "", "x2 = x1 + 0.1", {}},
    {"set earlier in the same section", "", "", "", "x1 = i; x2 = x1", {}},
    {"n read in init", "count = n * 2", "", "", "",
     {"0:1:9 warning: 'n' is read before anything sets it"}},
    {"the beat sets nothing for others", "", "", "y1 = 1", "y2 = y1",
     {"3:1:6 warning: 'y1' is read before anything sets it"}},
    {"set by the effect", "a = w * h + red1 + zbuf + z1", "", "", "b = i + skip", {}},
    {"i outside the triangle section", "", "k = i", "", "",
     {"1:1:5 warning: 'i' is read before anything sets it"}},
    {"compound assignment reads first", "", "", "", "\n  y3 += 1",
     {"3:2:3 warning: 'y3' is read before anything sets it"}},
    {"warned once", "", "a = x3", "", "b = x3",
     {"1:1:5 warning: 'x3' is read before anything sets it"}},
    {"a section that does not compile is left out", "", "a = x3 +", "", "", {}},
};
INSTANTIATE_TEST_SUITE_P(ReadBeforeSet, ScriptLintTest, testing::ValuesIn(kReadBeforeSet));

}  // namespace
