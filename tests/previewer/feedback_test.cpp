// What the tool tells the user while it works: why a preset draws nothing,
// which option was wrong and what it allows, its version, and how much
// memory a large render would take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/version.h"
#include "previewer/drawing_watch.h"
#include "previewer/memory_budget.h"
#include "scratch_dir.h"
#include "tool_runner.h"

namespace {

using namespace std::string_literals;

struct SilentCase {
    const char* name;
    const char* preset;
    std::vector<std::string> options;
    const char* warning;  // the whole line after "triangle-render: warning: "
};

class NothingDrawnWarning : public testing::TestWithParam<SilentCase> {};

TEST_P(NothingDrawnWarning, IsOneLineOnceAndQuietSilencesIt) {
    ScratchDir dir;
    dir.write("p.preset", GetParam().preset);
    std::vector<std::string> args = {"--size", "8x8", "--frames", "4"};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    args.push_back("p.preset");
    const ToolRun run = runTool(args, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "triangle-render: warning: "s + GetParam().warning + "\n");

    args.insert(args.begin(), "--quiet");
    const ToolRun quiet = runTool(args, dir.path());
    EXPECT_EQ(quiet.exitCode, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Causes, NothingDrawnWarning,
    testing::Values(
        SilentCase{"CountNeverSet", "[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n", {},
                   "frame 0: n is never set by any script (it starts at 0): nothing is drawn"},
        SilentCase{"CountZero", "[frame]\nn = 0\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n", {},
                   "frame 0: n is 0 after the frame script: nothing is drawn"},
        SilentCase{"CountZeroFromTheSecondFrame",
                   "[init]\nc = 0\n[frame]\nn = 1 - c; c = 1\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n",
                   {}, "frame 1: n is 0 after the frame script: nothing is drawn"},
        SilentCase{"CountNegative", "[frame]\nn = -3\n", {}, "frame 0: n is -3 after the frame script: nothing is drawn"},
        SilentCase{"EverySkipped", "[frame]\nn = 5\n[triangle]\nskip = 1; x1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n",
                   {}, "frame 0: the triangle script set skip for every triangle: nothing is drawn"},
        SilentCase{"EveryOffFrame", "[frame]\nn = 5\n[triangle]\nx1 = 2; y1 = 0; x2 = 3; y2 = 0; x3 = 2; y3 = 1\n", {},
                   "frame 0: every triangle lies outside the frame (x and y run from -1 to 1) or was skipped: nothing "
                   "is drawn"},
        SilentCase{"MuteBlendMode", "[frame]\nn = 1\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n",
                   {"--blend", "200"}, "blend mode 200 draws nothing (modes 0 to 9 draw); see --blend"}),
    [](const testing::TestParamInfo<SilentCase>& testCase) { return std::string(testCase.param.name); });

TEST(NothingDrawnWarning, DrawingPresetsSayNothing) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 3\n[triangle]\nskip = i > 0.4; x1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n");
    const ToolRun run = runTool({"--size", "8x8", "--frames", "3", "p.preset"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "") << "one triangle of three drawn is enough";
}

TEST(NothingDrawnWarning, NamesThePresetWhenThereAreSeveral) {
    ScratchDir dir;
    dir.write("a.preset", "[frame]\nn = 1\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n");
    dir.write("b.preset", "[frame]\nn = 0\n");
    const ToolRun run = runTool({"--size", "8x8", "--frames", "3", "a.preset", "b.preset"}, dir.path());
    EXPECT_EQ(run.err, "triangle-render: warning: frame 0: n is 0 after the frame script: nothing is drawn (b.preset)\n");
}

struct MessageCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

class OptionMessage : public testing::TestWithParam<MessageCase> {};

TEST_P(OptionMessage, NamesOptionValueAndWhatIsAllowed) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 1\n");
    std::vector<std::string> args = GetParam().args;
    args.push_back("p.preset");
    const ToolRun run = runTool(args, dir.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "triangle-render: "s + GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Options, OptionMessage,
    testing::Values(
        MessageCase{"NegativeFrames", {"--frames", "-1"}, "--frames: '-1' is not a whole number from 1 to 1000000"},
        MessageCase{"ZeroFrames", {"--frames=0"}, "--frames: '0' is not a whole number from 1 to 1000000"},
        MessageCase{"SheetCount", {"--sheet-count", "101"}, "--sheet-count: '101' is not a whole number from 1 to 100"},
        MessageCase{"BeatEvery", {"--beat-every", "x"}, "--beat-every: 'x' is not a whole number from 0 to 1000000"},
        MessageCase{"Size", {"--size", "0x5"},
                    "--size: '0x5': each side must be a whole number of pixels from 1 to 16384"},
        MessageCase{"BlendName", {"--blend", "screen"},
                    "--blend: 'screen' is not a blend mode: 0 to 255 or one of replace additive maximum average "
                    "subtract-colour subtract-pixel multiply mix xor minimum"},
        MessageCase{"MixRatio", {"--blend", "mix:256"}, "--blend: 'mix:256': the mix ratio must be a whole number from 0 to 255"},
        MessageCase{"Fill", {"--fill", "red"},
                    "--fill: 'red' is not a 32-bit word: 0x and one to eight hex digits, like 0xFF000000"}),
    [](const testing::TestParamInfo<MessageCase>& testCase) { return std::string(testCase.param.name); });

TEST(Version, IsPrintedAloneOnStdout) {
    ScratchDir dir;
    const ToolRun run = runTool({"--version"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "triangle-render "s + frontend::kVersion + "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(std::string(frontend::kVersion).find_first_not_of("0123456789."), std::string::npos);
}

struct MemoryCase {
    const char* name;
    uint64_t needed;
    uint64_t available;
    bool force;
    bool allowed;
};

class MemoryCheck : public testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryCheck, AsksForForceAboveHalfTheMemory) {
    std::string error;
    EXPECT_EQ(previewer::checkMemory(GetParam().needed, GetParam().available, GetParam().force, error),
              GetParam().allowed);
    if (!GetParam().allowed) {
        EXPECT_NE(error.find(previewer::describeBytes(GetParam().needed)), std::string::npos) << error;
        EXPECT_NE(error.find("--force"), std::string::npos) << error;
    }
}

constexpr uint64_t kGiB = 1024ull * 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(Budgets, MemoryCheck,
                         testing::Values(MemoryCase{"Small", kGiB / 10, 8 * kGiB, false, true},
                                         MemoryCase{"ExactlyHalf", 4 * kGiB, 8 * kGiB, false, true},
                                         MemoryCase{"OverHalf", 4 * kGiB + 1, 8 * kGiB, false, false},
                                         MemoryCase{"OverHalfForced", 6 * kGiB, 8 * kGiB, true, true},
                                         MemoryCase{"MoreThanThereIs", 12 * kGiB, 8 * kGiB, false, false}),
                         [](const testing::TestParamInfo<MemoryCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

TEST(MemoryEstimate, GrowsWithTheFrameAndTheSheet) {
    previewer::Options small;
    small.width = 640;
    small.height = 360;
    previewer::Options huge = small;
    huge.width = huge.height = 16384;
    previewer::Options withSheet = huge;
    withSheet.sheetFile = "s.png";
    EXPECT_GE(previewer::estimateRenderBytes(huge), 16384ull * 16384 * 8) << "frame and depth buffer at least";
    EXPECT_LT(previewer::estimateRenderBytes(small), 16ull * 1024 * 1024);
    EXPECT_GT(previewer::estimateRenderBytes(withSheet), previewer::estimateRenderBytes(huge));
}

#if ADDRESS_LIMIT_TESTS
// The address space is limited to 1 GiB, as a small machine's memory would be.
const std::string kSmallMachine = "ulimit -v 1048576 &&";

TEST(LargeRender, AsksForForceFirst) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 1\n");
    const ToolRun run = runTool({"--size", "16384x16384", "--frames", "1", "--out", "o.png", "p.preset"}, dir.path(),
                                kSmallMachine);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("this render needs about 3.0 GiB of memory"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("add --force"), std::string::npos) << run.err;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"p.preset"});
}

TEST(LargeRender, ForcedButOutOfMemoryIsAClearError) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 1\n");
    const ToolRun run = runTool({"--force", "--size", "16384x16384", "--frames", "1", "--out", "o.png", "p.preset"},
                                dir.path(), kSmallMachine);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(run.err.rfind("triangle-render: out of memory: a 16384x16384 render needs about", 0), 0u) << run.err;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"p.preset"});
}
#endif

struct MentionCase {
    const char* text;
    bool mentions;
};

class CountMention : public testing::TestWithParam<MentionCase> {};

TEST_P(CountMention, IsTheWholeWordN) { EXPECT_EQ(previewer::mentionsCount(GetParam().text), GetParam().mentions); }

INSTANTIATE_TEST_SUITE_P(Texts, CountMention,
                         testing::Values(MentionCase{"n = 1", true}, MentionCase{"a=2;n=a", true},
                                         MentionCase{"N = 3", true}, MentionCase{"n", true},
                                         MentionCase{"nn = 1", false}, MentionCase{"x1 = sin(i)", false},
                                         MentionCase{"n1 = 2; an = 1", false}, MentionCase{"", false}));

}  // namespace

namespace {

struct HeaderCase {
    const char* name;
    bool strict;
    int exitCode;
    const char* message;
};

class MisspeltHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(MisspeltHeader, IsAWarningWithItsLineOrAnErrorWhenStrict) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 1\n[triangles]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n");
    std::vector<std::string> args = {"--size", "4x4", "--frames", "1", "--out", "o.bgra", "p.preset"};
    if (GetParam().strict) args.insert(args.begin(), "--strict");
    const ToolRun run = runTool(args, dir.path());
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
    EXPECT_EQ(run.err.rfind(GetParam().message, 0), 0u) << run.err;
    EXPECT_EQ(fileExists(dir.file("o.bgra")), !GetParam().strict);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MisspeltHeader,
    testing::Values(HeaderCase{"Warned", false, 0,
                               "triangle-render: p.preset: warning: line 3: [triangles] names no section"},
                    HeaderCase{"Strict", true, 2, "triangle-render: p.preset: line 3: [triangles] names no section"}),
    [](const testing::TestParamInfo<HeaderCase>& testCase) { return std::string(testCase.param.name); });

TEST(Encodings, AUtf16PresetRendersLikeItsUtf8Original) {
    ScratchDir dir;
    const std::string text = "[frame]\r\nn = 1\r\n[triangle]\r\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : text) utf16 += std::string(1, c) + '\0';
    dir.write("utf8.preset", text);
    dir.write("utf16.preset", utf16);
    ASSERT_EQ(runTool({"--size", "6x6", "--frames", "1", "--out", "a.bgra", "utf8.preset"}, dir.path()).exitCode, 0);
    const ToolRun run = runTool({"--size", "6x6", "--frames", "1", "--out", "b.bgra", "utf16.preset"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(dir.file("b.bgra")), readFile(dir.file("a.bgra")));
    EXPECT_NE(readBgra(dir.file("a.bgra")), std::vector<uint32_t>(36, 0)) << "the triangle was drawn";
}

}  // namespace
