// The command line: each option's value reaches the right field, and every
// malformed value is refused with a message naming the option.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "previewer/options.h"
#include "previewer/usage_text.h"

namespace {

using previewer::Options;
using previewer::ParsedCommandLine;
using previewer::parseCommandLine;

TEST(OptionParsing, DefaultsMatchTheDocumentedOnes) {
    const ParsedCommandLine parsed = parseCommandLine({"a.preset"});
    ASSERT_EQ(parsed.outcome, ParsedCommandLine::Outcome::Run) << parsed.error;
    const Options& o = parsed.options;
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 360);
    EXPECT_EQ(o.frames, 120);
    EXPECT_EQ(o.blendModeWord, 0u);
    EXPECT_EQ(o.fill, 0u);
    EXPECT_FALSE(o.clearEachFrame);
    EXPECT_FALSE(o.isBeatFrame(0)) << "no beats unless asked for";
    EXPECT_EQ(o.presets, std::vector<std::string>{"a.preset"});
}

struct GoodCase {
    const char* name;
    std::vector<std::string> args;
    std::function<bool(const Options&)> holds;
};

class GoodOptions : public testing::TestWithParam<GoodCase> {};

TEST_P(GoodOptions, AreTaken) {
    std::vector<std::string> args = GetParam().args;
    args.push_back("p.preset");
    const ParsedCommandLine parsed = parseCommandLine(args);
    ASSERT_EQ(parsed.outcome, ParsedCommandLine::Outcome::Run) << parsed.error;
    EXPECT_TRUE(GetParam().holds(parsed.options));
}

INSTANTIATE_TEST_SUITE_P(
    Values, GoodOptions,
    testing::Values(
        GoodCase{"Size", {"--size", "1x16384"}, [](const Options& o) { return o.width == 1 && o.height == 16384; }},
        GoodCase{"SizeWithEquals", {"--size=320X200"}, [](const Options& o) { return o.width == 320 && o.height == 200; }},
        GoodCase{"Frames", {"--frames", "7"}, [](const Options& o) { return o.frames == 7; }},
        GoodCase{"BlendModeOnly", {"--blend", "3"}, [](const Options& o) { return o.blendModeWord == 3u; }},
        GoodCase{"MixRatioGoesToByteOne", {"--blend", "7:200"}, [](const Options& o) { return o.blendModeWord == 0xC807u; }},
        GoodCase{"MixByName", {"--blend=mix:1"}, [](const Options& o) { return o.blendModeWord == 0x0107u; }},
        GoodCase{"SubtractPixelByName", {"--blend", "subtract-pixel"}, [](const Options& o) { return o.blendModeWord == 5u; }},
        GoodCase{"HostByteAbove9", {"--blend", "255"}, [](const Options& o) { return o.blendModeWord == 255u; }},
        GoodCase{"Fill", {"--fill", "0xFF00ff80"}, [](const Options& o) { return o.fill == 0xFF00FF80u; }},
        GoodCase{"ShortFill", {"--fill", "0x7"}, [](const Options& o) { return o.fill == 7u; }},
        GoodCase{"BeatEvery", {"--beat-every", "15"},
                 [](const Options& o) { return o.isBeatFrame(0) && !o.isBeatFrame(14) && o.isBeatFrame(30); }},
        GoodCase{"Switches", {"--clear", "--strict", "--quiet"},
                 [](const Options& o) { return o.clearEachFrame && o.strict && o.quiet; }},
        GoodCase{"Outputs", {"--out", "a.png", "--frames-dir", "d", "--sheet", "s.png", "--save-block", "b"},
                 [](const Options& o) {
                     return o.outFile == "a.png" && o.framesDir == "d" && o.sheetFile == "s.png" && o.saveBlockFile == "b";
                 }},
        GoodCase{"DoubleDashEndsOptions", {"--", "--odd-name"},
                 [](const Options& o) { return o.presets == std::vector<std::string>{"--odd-name", "p.preset"}; }}),
    [](const testing::TestParamInfo<GoodCase>& testCase) { return std::string(testCase.param.name); });

TEST(OptionParsing, PresetsKeepTheirOrderAmongOptions) {
    const ParsedCommandLine parsed = parseCommandLine({"b.preset", "--frames", "2", "a.preset"});
    ASSERT_EQ(parsed.outcome, ParsedCommandLine::Outcome::Run) << parsed.error;
    EXPECT_EQ(parsed.options.presets, (std::vector<std::string>{"b.preset", "a.preset"}));
}

TEST(OptionParsing, OptionsAreReadInOrderUpToHelp) {
    EXPECT_EQ(parseCommandLine({"--size", "0x0", "--help"}).outcome, ParsedCommandLine::Outcome::Error)
        << "options are read in order: the bad size comes first";
    EXPECT_EQ(parseCommandLine({"--help", "--size", "0x0"}).outcome, ParsedCommandLine::Outcome::Help);
    EXPECT_EQ(parseCommandLine({"-h"}).outcome, ParsedCommandLine::Outcome::Help);
}

struct BadCase {
    const char* name;
    std::vector<std::string> args;
    const char* messagePart;
};

class BadOptions : public testing::TestWithParam<BadCase> {};

TEST_P(BadOptions, AreRefusedWithAOneLineReason) {
    const ParsedCommandLine parsed = parseCommandLine(GetParam().args);
    ASSERT_EQ(parsed.outcome, ParsedCommandLine::Outcome::Error);
    EXPECT_NE(parsed.error.find(GetParam().messagePart), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadOptions,
    testing::Values(BadCase{"NoPreset", {"--frames", "3"}, "no preset"},
                    BadCase{"UnknownOption", {"--colour", "p"}, "unknown option --colour"},
                    BadCase{"MissingValue", {"p", "--size"}, "--size needs a value"},
                    BadCase{"TooHigh", {"--size", "10x16385", "p"}, "16384"},
                    BadCase{"HugeNumber", {"--size", "99999999999999999999x1", "p"}, "--size"},
                    BadCase{"NoCross", {"--size", "640", "p"}, "--size"},
                    BadCase{"SignedSize", {"--size", "-4x4", "p"}, "--size"},
                    BadCase{"WordyFrames", {"--frames", "ten", "p"}, "--frames"},
                    BadCase{"FramesWithSuffix", {"--frames", "10k", "p"}, "--frames"},
                    BadCase{"RatioOnOtherMode", {"--blend", "1:20", "p"}, "mode 7"},
                    BadCase{"ModeTooBig", {"--blend", "256", "p"}, "--blend"},
                    BadCase{"UnknownModeName", {"--blend", "screen", "p"}, "screen"},
                    BadCase{"FillWithoutPrefix", {"--fill", "FF000000", "p"}, "--fill"},
                    BadCase{"FillTooLong", {"--fill", "0x1FF000000", "p"}, "--fill"},
                    BadCase{"FillNotHex", {"--fill", "0xGG", "p"}, "--fill"},
                    BadCase{"EmptyOutName", {"--out=", "p"}, "--out"},
                    BadCase{"SwitchWithValue", {"--clear=1", "p"}, "--clear takes no value"}),
    [](const testing::TestParamInfo<BadCase>& testCase) { return std::string(testCase.param.name); });

TEST(OptionParsing, UsageDocumentsEveryOption) {
    const std::string usage = previewer::usageText();
    for (const char* option : {"--size", "--frames", "--blend", "--beat-every", "--fill", "--clear", "--out",
                               "--frames-dir", "--sheet", "--sheet-count", "--save-block", "--strict", "--quiet",
                               "--help", "[init]", "[frame]", "[beat]", "[triangle]", ".bgra", ".png"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

}  // namespace
