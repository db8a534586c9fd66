// The command line: triangle-render's shared options mean the same here,
// its file outputs are refused, and the window's own options are read.
#include "live/live_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "live/key_actions.h"

namespace {

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    const char* errorPart;  // null: accepted
};

class LiveCommandLine : public testing::TestWithParam<OptionCase> {};

TEST_P(LiveCommandLine, AcceptsOrRefusesWithAReason) {
    const live::ParsedLiveCommandLine parsed = live::parseLiveCommandLine(GetParam().args);
    if (GetParam().errorPart == nullptr) {
        EXPECT_EQ(parsed.outcome, live::ParsedLiveCommandLine::Outcome::Run) << parsed.error;
    } else {
        EXPECT_EQ(parsed.outcome, live::ParsedLiveCommandLine::Outcome::Error);
        EXPECT_NE(parsed.error.find(GetParam().errorPart), std::string::npos) << parsed.error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LiveCommandLine,
    testing::Values(OptionCase{"Shared",
                               {"--size", "320x180", "--blend", "mix:208", "--fill", "0xFF000000", "--clear",
                                "--beat-every", "15", "--fps", "30", "--start", "2", "--log-frames", "l.jsonl", "a"},
                               nullptr},
                    OptionCase{"OwnSwitches", {"--paused", "--unpaced", "a"}, nullptr},
                    OptionCase{"InputDefault", {"--input", "a"}, nullptr},
                    OptionCase{"InputDevice", {"--input=Monitor of Speakers", "a"}, nullptr},
                    OptionCase{"NoPreset", {"--paused"}, "no preset"},
                    OptionCase{"OutIsTheRenderers", {"--out", "x.png", "a"}, "--out is triangle-render's"},
                    OptionCase{"VideoIsTheRenderers", {"--video=x.mp4", "a"}, "--video is triangle-render's"},
                    OptionCase{"LoopWithoutSong", {"--loop", "a"}, "--loop goes with --audio"},
                    OptionCase{"SongAndInput", {"--audio", "s.wav", "--input", "a"}, "give one"},
                    OptionCase{"SwitchWithValue", {"--paused=yes", "a"}, "takes no value"},
                    OptionCase{"BadSharedValue", {"--size", "0x1", "a"}, "--size"}),
    [](const testing::TestParamInfo<OptionCase>& testCase) { return std::string(testCase.param.name); });

TEST(LiveCommandLine, SharedOptionsKeepTheirMeaning) {
    const live::ParsedLiveCommandLine parsed =
        live::parseLiveCommandLine({"--size=320x180", "--blend", "mix:208", "--input=hw:1", "--", "--odd.preset"});
    ASSERT_EQ(parsed.outcome, live::ParsedLiveCommandLine::Outcome::Run) << parsed.error;
    EXPECT_EQ(parsed.options.render.width, 320);
    EXPECT_EQ(parsed.options.render.height, 180);
    EXPECT_EQ(parsed.options.render.blendModeWord, 7u | 208u << 8);
    EXPECT_EQ(parsed.options.inputDevice, "hw:1");
    EXPECT_EQ(parsed.options.render.presets, std::vector<std::string>{"--odd.preset"});
}

struct KeyCase {
    live::KeyPress press;
    live::Action action;
    int value;
};

class KeyTable : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyTable, EachKeyDoesWhatTheHelpSays) {
    const live::KeyAction got = live::actionFor(GetParam().press);
    EXPECT_EQ(got.action, GetParam().action);
    EXPECT_EQ(got.value, GetParam().value);
}

using live::Action;
using live::Key;
INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    testing::Values(KeyCase{{Key::Space, 0}, Action::TogglePause, 0}, KeyCase{{Key::Right, 0}, Action::Step, 0},
                    KeyCase{{Key::Escape, 0}, Action::Quit, 0}, KeyCase{{Key::Letter, 'q'}, Action::Quit, 0},
                    KeyCase{{Key::Letter, 'b'}, Action::Beat, 0}, KeyCase{{Key::Digit, '0'}, Action::BlendMode, 0},
                    KeyCase{{Key::Digit, '9'}, Action::BlendMode, 9}, KeyCase{{Key::Letter, 'c'}, Action::Clear, 0},
                    KeyCase{{Key::Letter, 's'}, Action::Screenshot, 0}, KeyCase{{Key::Letter, 'r'}, Action::Restart, 0},
                    KeyCase{{Key::Letter, 'v'}, Action::Record, 0}, KeyCase{{Key::Letter, 'h'}, Action::Help, 0},
                    KeyCase{{Key::Letter, 'o'}, Action::Overlay, 0}, KeyCase{{Key::Letter, 'f'}, Action::Fullscreen, 0},
                    KeyCase{{Key::Letter, 'x'}, Action::None, 0}, KeyCase{{Key::Other, 0}, Action::None, 0}));

}  // namespace
