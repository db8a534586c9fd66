// The tool as a user meets it: exit codes and messages for every kind of
// mistake, nothing left behind on error, preset blocks saved byte for byte,
// and script errors reported with their place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/version.h"
#include "scratch_dir.h"
#include "tool_runner.h"

namespace {

using namespace std::string_literals;

const char* const kGoodPreset = "[frame]\nn = 1\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n";

size_t lineCount(const std::string& text) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    const char* messagePart;
};

class ToolErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(ToolErrors, ExitWithOneLineAndLeaveNothingBehind) {
    ScratchDir dir;
    dir.write("good.preset", kGoodPreset);
    dir.write("broken.preset", "[frame]\nn = (1 +\n");
    dir.write("short.block", "a\0b\0c\0"s);
    dir.write("headerless.preset", "n = 1\n");
    dir.write("old.bgra", "keep me");
    const std::vector<std::string> before = dir.entries();

    const ToolRun run = runTool(GetParam().args, dir.path());
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
    EXPECT_NE(run.err.find(GetParam().messagePart), std::string::npos) << run.err;
    EXPECT_EQ(run.err.rfind("triangle-render: ", 0), 0u) << run.err;
    if (GetParam().exitCode == 2) {
        EXPECT_EQ(lineCount(run.err), 1u) << run.err;
    }
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.entries(), before) << "no output and no temporary file may be left";
    EXPECT_EQ(readFile(dir.file("old.bgra")), "keep me");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolErrors,
    testing::Values(
        ErrorCase{"NoArguments", {}, 2, "no preset"},
        ErrorCase{"UnknownOption", {"--fast", "good.preset"}, 2, "unknown option --fast"},
        ErrorCase{"ZeroSize", {"--size", "0x100", "--out", "old.bgra", "good.preset"}, 2, "--size"},
        ErrorCase{"HugeSize", {"--size", "16385x1", "--out", "old.bgra", "good.preset"}, 2, "--size"},
        ErrorCase{"BadFrames", {"--frames", "0", "--out", "old.bgra", "good.preset"}, 2, "--frames"},
        ErrorCase{"BadBlend", {"--blend", "7:300", "good.preset"}, 2, "--blend"},
        ErrorCase{"BadFill", {"--fill", "white", "good.preset"}, 2, "--fill"},
        ErrorCase{"MissingPreset", {"--out", "old.bgra", "good.preset", "gone.preset"}, 2, "gone.preset: cannot read"},
        ErrorCase{"DirectoryAsPreset", {"--out", "old.bgra", "."}, 2, "not a regular file"},
        ErrorCase{"ShortRawBlock", {"--out", "old.bgra", "short.block"}, 2, "short.block: a raw preset block"},
        ErrorCase{"HeaderlessText", {"--out", "old.bgra", "headerless.preset"}, 2, "text before the first section"},
        ErrorCase{"UnknownPictureType", {"--out", "last.jpg", "good.preset"}, 2, "use a .png or .bgra"},
        ErrorCase{"SheetMustBePng", {"--sheet", "sheet.bgra", "good.preset"}, 2, "--sheet"},
        ErrorCase{"OutIntoMissingDirectory", {"--out", "no/where.bgra", "good.preset"}, 2, "no such directory"},
        ErrorCase{"BlockIsADirectory", {"--save-block", ".", "good.preset"}, 2, "is a directory"},
        ErrorCase{"BlockIntoMissingDirectory", {"--save-block", "no/b.bin", "good.preset"}, 2, "no such directory"},
        ErrorCase{"FramesDirIsAFile", {"--frames-dir", "old.bgra", "good.preset"}, 2, "not a directory"},
        ErrorCase{"FramesDirParentMissing", {"--frames-dir", "no/frames", "good.preset"}, 2, "no such directory"},
        ErrorCase{"StrictWithBrokenScript",
                  {"--strict", "--frames-dir", "frames", "--out", "old.bgra", "--save-block", "b.bin", "good.preset",
                   "broken.preset"},
                  1, "broken.preset:2:"}),
    [](const testing::TestParamInfo<ErrorCase>& testCase) { return std::string(testCase.param.name); });

TEST(ToolCli, HelpGoesToStdoutAndExitsZero) {
    ScratchDir dir;
    const ToolRun run = runTool({"--help"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("triangle-render "s + frontend::kVersion + ": ", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\nUsage: triangle-render"), std::string::npos) << run.out;
}

TEST(ToolCli, BrokenSectionIsReportedAndSkippedWithoutStrict) {
    ScratchDir dir;
    // The frame section fails on line 3 of the file; the triangle section
    // still runs but, with "n" never set, draws nothing, which is told.
    dir.write("p.preset", "[frame]\nn = 1;\nq = (1 +;\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n");
    const ToolRun run = runTool({"--size", "4x4", "--frames", "1", "--fill", "0x00000007", "--out", "f.bgra", "p.preset"},
                                dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err.rfind("triangle-render: p.preset:3:", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("[frame]"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(section skipped)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\ntriangle-render: warning: frame 0: n is 0 after the frame script: nothing is drawn\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(lineCount(run.err), 2u) << run.err;
    const std::vector<uint32_t> frame = readBgra(dir.file("f.bgra"));
    ASSERT_EQ(frame.size(), 16u);
    for (uint32_t word : frame) EXPECT_EQ(word, 7u);
}

TEST(ToolCli, StrictReportsEverySectionThenFails) {
    ScratchDir dir;
    dir.write("p.preset", "[init]\na = ;\n[beat]\nb = 1 +\n");
    const ToolRun run = runTool({"--strict", "p.preset"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("p.preset:2:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("[init]"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("p.preset:4:"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("[beat]"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("2 sections do not compile"), std::string::npos) << run.err;
}

struct BlockCase {
    const char* name;
    std::string preset;
    std::string block;
};

class SavedBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(SavedBlock, IsWhatTheEffectSaves) {
    ScratchDir dir;
    dir.write("p.preset", GetParam().preset);
    const ToolRun run = runTool({"--size", "8x8", "--frames", "2", "--save-block", "saved.bin", "p.preset"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(dir.file("saved.bin")), GetParam().block);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SavedBlock,
    testing::Values(
        BlockCase{"AllSections", "[init]\nc=0\n[frame]\nn=1\n[beat]\nc=c+1\n[triangle]\nx1=0\n",
                  "c=0\0n=1\0c=c+1\0x1=0\0"s},
        BlockCase{"MissingSectionsSaveEmpty", "[triangle]\nx1 = i\n", "\0\0\0x1 = i\0"s},
        BlockCase{"CrLfKeptButNotTheLast", "[frame]\r\nn=1;\r\nx=2\r\n[beat]\r\n", "\0n=1;\r\nx=2\0\0\0"s},
        BlockCase{"RawBlockRoundTrips", "one\0two\r\nlines\0\0four\0"s, "one\0two\r\nlines\0\0four\0"s},
        BlockCase{"RawBlockTailDropped", "1\0002\0003\0004\0tail\0"s, "1\0002\0003\0004\0"s}),
    [](const testing::TestParamInfo<BlockCase>& testCase) { return std::string(testCase.param.name); });

TEST(ToolCli, SavedBlockRendersLikeTheTextItCameFrom) {
    ScratchDir dir;
    dir.write("p.preset", "[init]\nc = 0\n[frame]\nn = 2; c = c + 0.25\n[triangle]\n"
                          "x1 = -1 + i; y1 = -1; x2 = 1; y2 = 0.5; x3 = -0.5; y3 = 1; red1 = c; blue1 = i\n");
    ASSERT_EQ(runTool({"--size", "32x20", "--frames", "3", "--out", "text.bgra", "--save-block", "p.block", "p.preset"},
                      dir.path())
                  .exitCode,
              0);
    ASSERT_EQ(runTool({"--size", "32x20", "--frames", "3", "--out", "block.bgra", "p.block"}, dir.path()).exitCode, 0);
    const std::string text = readFile(dir.file("text.bgra"));
    EXPECT_EQ(text.size(), 32u * 20u * 4u);
    EXPECT_EQ(readFile(dir.file("block.bgra")), text);
}

TEST(ToolCli, SaveBlockTakesTheFirstPreset) {
    ScratchDir dir;
    dir.write("a.preset", "[frame]\na\n");
    dir.write("b.preset", "[frame]\nb\n");
    ASSERT_EQ(runTool({"--frames", "1", "--size", "2x2", "--save-block", "s", "a.preset", "b.preset"}, dir.path()).exitCode,
              0);
    EXPECT_EQ(readFile(dir.file("s")), "\0a\0\0\0"s);
}

class Example : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(Example, CompilesStrictlyAndDraws) {
    ScratchDir dir;
    std::vector<std::string> args = {"--strict", "--size", "64x36", "--frames", "16", "--beat-every", "5",
                                     "--out", "last.bgra"};
    for (const std::string& name : GetParam()) args.push_back(std::string(EXAMPLES_DIR) + "/" + name);
    const ToolRun run = runTool(args, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<uint32_t> frame = readBgra(dir.file("last.bgra"));
    ASSERT_EQ(frame.size(), 64u * 36u);
    size_t differing = 0;
    for (uint32_t word : frame) differing += word != frame[0];
    EXPECT_GT(differing, frame.size() / 20) << "an example should draw more than a few pixels";
}

INSTANTIATE_TEST_SUITE_P(Presets, Example,
                         testing::Values(std::vector<std::string>{"demo.preset"},
                                         std::vector<std::string>{"spinning-ring.preset"},
                                         std::vector<std::string>{"depth-carousel.preset", "depth-orbiters.preset"},
                                         std::vector<std::string>{"beat-burst.preset"},
                                         std::vector<std::string>{"blend-play.preset"},
                                         std::vector<std::string>{"triangle-field.preset"}));

}  // namespace
