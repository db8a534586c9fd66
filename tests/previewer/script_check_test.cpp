// Locating sections that do not compile, with the stand-in's own compiler and
// with a scripted one, and the one-line reports made of them.
#include <gtest/gtest.h>

#include <string>

#include "previewer/script_check.h"

namespace {

using namespace std::string_literals;
using previewer::PresetFile;
using previewer::ScriptProblem;

PresetFile textPreset(const std::string& contents) {
    PresetFile preset;
    preset.path = "demo.preset";
    std::string error;
    EXPECT_TRUE(previewer::parsePreset(contents, preset, error)) << error;
    return preset;
}

TEST(ScriptCheck, StandinFindsTheBrokenSectionOnly) {
    const PresetFile preset = textPreset("[init]\nc = 0;\n[frame]\nn = 1;\nx = (2 +;\n[triangle]\nx1 = i;\n");
    const std::vector<ScriptProblem> problems = previewer::findScriptProblems(preset, previewer::standinCompiler());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].section, 1);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_GT(problems[0].column, 1);
    EXPECT_FALSE(problems[0].message.empty());
}

TEST(ScriptCheck, EmptySectionsAreNeverReported) {
    const PresetFile preset = textPreset("[frame]\nn = 1\n");
    int compiled = 0;
    const auto failEverything = [&compiled](const std::string&, ScriptProblem&) {
        ++compiled;
        return false;
    };
    EXPECT_EQ(previewer::findScriptProblems(preset, failEverything).size(), 1u);
    EXPECT_EQ(compiled, 1) << "only the one section with text is compiled";
}

struct ReportCase {
    const char* name;
    std::string contents;
    const char* expected;
};

class ProblemReport : public testing::TestWithParam<ReportCase> {};

TEST_P(ProblemReport, NamesFileSectionLineAndColumn) {
    const PresetFile preset = textPreset(GetParam().contents);
    const auto failingAt2x7 = [](const std::string&, ScriptProblem& problem) {
        problem.line = 2;
        problem.column = 7;
        problem.message = "unknown function 'foo'";
        return false;
    };
    const std::vector<ScriptProblem> problems = previewer::findScriptProblems(preset, failingAt2x7);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(previewer::describeProblem(preset, problems[0]), GetParam().expected);
}

TEST(ProblemReport, FaultOutsideTheTextHasNoPlace) {
    const PresetFile preset = textPreset("[frame]\nn = 1\n");
    ScriptProblem problem;
    problem.section = 1;
    problem.line = 0;
    problem.column = 0;
    problem.message = "script too large";
    EXPECT_EQ(previewer::describeProblem(preset, problem), "demo.preset: [frame] script too large");
}

TEST(ProblemReport, SecondPlaceInTheMessageIsGivenInFileLinesToo) {
    const PresetFile preset = textPreset("# c\n[frame]\nn = 1;\nx = (1 +\n  2\n");
    const std::vector<ScriptProblem> problems = previewer::findScriptProblems(preset, previewer::standinCompiler());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(previewer::describeProblem(preset, problems[0]),
              "demo.preset:5:4: [frame] expected ')' for '(' at 4:5, found end of text");
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ProblemReport,
    testing::Values(
        // The text form gives the file's line: section starts on line 4, its line 2 is line 5.
        ReportCase{"TextGivesFileLine", "# c\n[frame]\n[beat]\nb = 1\nb = foo(1)\n",
                   "demo.preset:5:7: [beat] unknown function 'foo'"},
        ReportCase{"RawGivesSectionLine", "\0\0\0x = 1\nx = foo(1)\0"s,
                   "demo.preset: [triangle] line 2, column 7: unknown function 'foo'"}),
    [](const testing::TestParamInfo<ReportCase>& testCase) { return std::string(testCase.param.name); });

}  // namespace
