// The music functions on hand-made frames: a ramp and a constant as the
// waveform, a sine's peak in the spectrum, channels, clamping, interpolation,
// the edges of the spectrum, and silence without a block.
#include <gtest/gtest.h>

#include <memory>

#include "standin/music_frame.h"
#include "tests/standin/script_harness.h"

namespace {

using standin::MusicFrame;
using standin_test::ScriptHarness;

constexpr double kBinHz = 10.0;  // bins at 0, 10, 20 ... 20480 Hz

// Left: a ramp k / 1024 (exact in float); right: 0.5 throughout. Spectrum:
// a sine of 1000 Hz on the left only, at half scale, leaking half of that
// into the next bin; the top bin and 0 Hz marked on the left.
std::unique_ptr<MusicFrame> testFrame() {
    auto frame = std::make_unique<MusicFrame>();
    for (int k = 0; k < MusicFrame::kWaveSamples; ++k) {
        frame->wave[MusicFrame::kLeft][k] = static_cast<float>(k) / 1024.0f;
        frame->wave[MusicFrame::kRight][k] = 0.5f;
    }
    frame->binHz = kBinHz;
    frame->spectrum[MusicFrame::kLeft][100] = 0.5f;
    frame->spectrum[MusicFrame::kLeft][101] = 0.25f;
    frame->spectrum[MusicFrame::kLeft][0] = 0.0625f;
    frame->spectrum[MusicFrame::kLeft][MusicFrame::kSpectrumBins - 1] = 0.125f;
    frame->spectrum[MusicFrame::kRight][50] = 1.0f;
    frame->time = 12.5;
    frame->frameIndex = 750;
    frame->tempo = 128;
    frame->bass = 1.5;
    frame->mid = 0.75;
    frame->treble = 2.25;
    return frame;
}

struct MusicCase {
    const char* expression;
    double withFrame;    // with testFrame()
    double withoutFrame; // with a null block
};

void PrintTo(const MusicCase& c, std::ostream* os) { *os << c.expression; }

class StandinMusicTest : public testing::TestWithParam<MusicCase> {};

TEST_P(StandinMusicTest, ReadsTheFramesBlock) {
    const std::unique_ptr<MusicFrame> frame = testFrame();
    ScriptHarness script;
    EXPECT_EQ(script.value(GetParam().expression, standin::asVisData(frame.get())), GetParam().withFrame)
        << GetParam().expression;
    EXPECT_EQ(script.value(GetParam().expression, nullptr), GetParam().withoutFrame) << GetParam().expression;
}

const MusicCase kWave[] = {
    {"wave(0, 1)", 0, 0},
    {"wave(1, 1)", 1023.0 / 1024, 0},
    {"wave(0.5, 1)", 511.5 / 1024, 0},            // between samples 511 and 512
    {"wave(0.25, 1)", 255.75 / 1024, 0},
    {"wave(-3, 1)", 0, 0},                        // x clamps
    {"wave(7, 1)", 1023.0 / 1024, 0},
    {"wave(0.5, 2)", 0.5, 0},
    {"wave(0.5)", (511.5 / 1024 + 0.5) / 2, 0},   // the mean of both
    {"wave(0.5, 0)", (511.5 / 1024 + 0.5) / 2, 0},
    {"wave(1, 1.9)", 1023.0 / 1024, 0},           // the channel is rounded down
    {"wave(0.5, 3)", 0, 0},
    {"wave(0.5, -1)", 0, 0},
    {"wave(0 / 0, 1)", 0, 0},
    {"wave(0.5, 0 / 0)", 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Wave, StandinMusicTest, testing::ValuesIn(kWave));

const MusicCase kSpectrum[] = {
    {"spectrum(1000, 1)", 0.5, 0},
    {"spectrum(1005, 1)", 0.375, 0},              // halfway to the next bin
    {"spectrum(1002.5, 1)", 0.4375, 0},
    {"spectrum(995, 1)", 0.25, 0},
    {"spectrum(1000)", 0.25, 0},                  // the mean of left and silent right
    {"spectrum(1000, 2)", 0, 0},
    {"spectrum(500, 2)", 1, 0},
    {"spectrum(500)", 0.5, 0},
    {"spectrum(0, 1)", 0.0625, 0},
    {"spectrum(20480, 1)", 0.125, 0},             // the Nyquist frequency itself
    {"spectrum(20480.5, 1)", 0, 0},               // above it
    {"spectrum(-0.5, 1)", 0, 0},
    {"spectrum(1 / 0, 1)", 0, 0},
    {"spectrum(0 / 0)", 0, 0},
    {"spectrum(1000, 5)", 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Spectrum, StandinMusicTest, testing::ValuesIn(kSpectrum));

const MusicCase kLevelsAndTime[] = {
    {"bass()", 1.5, 0},       {"mid()", 0.75, 0},   {"treble()", 2.25, 0},   {"time()", 12.5, 0},
    {"frame_index()", 750, 0}, {"tempo()", 128, 0}, {"BASS() + Mid()", 2.25, 0},
    {"time = 3; time() + time", 15.5, 3},
};
INSTANTIATE_TEST_SUITE_P(LevelsAndTime, StandinMusicTest, testing::ValuesIn(kLevelsAndTime));

TEST(StandinMusic, ASpectrumWithoutBinsReadsZero) {
    std::unique_ptr<MusicFrame> frame = testFrame();
    frame->binHz = 0;
    ScriptHarness script;
    EXPECT_EQ(script.value("spectrum(1000, 1) + spectrum(0, 1)", standin::asVisData(frame.get())), 0.0);
    EXPECT_EQ(script.value("wave(1, 1)", standin::asVisData(frame.get())), 1023.0 / 1024);
}

TEST(StandinMusic, EachRunReadsTheBlockItIsGiven) {
    std::unique_ptr<MusicFrame> first = testFrame();
    std::unique_ptr<MusicFrame> second = testFrame();
    second->frameIndex = 751;
    ScriptHarness script;
    host::CodeHandle code = script.compile("seen = seen * 1000 + frame_index()");
    ASSERT_NE(code, nullptr);
    script.host.executeCode(code, standin::asVisData(first.get()));
    script.host.executeCode(code, standin::asVisData(second.get()));
    script.host.executeCode(code, nullptr);
    EXPECT_EQ(*script.var("seen"), 750.0 * 1000000 + 751.0 * 1000 + 0);
}

TEST(StandinMusic, NotFoldedAsConstants) {
    // All-constant arguments, and still read at run time from the block.
    std::unique_ptr<MusicFrame> frame = testFrame();
    ScriptHarness script;
    host::CodeHandle code = script.compile("got = spectrum(1000, 1) + wave(1, 2) + bass()");
    ASSERT_NE(code, nullptr);
    script.host.executeCode(code, nullptr);
    EXPECT_EQ(*script.var("got"), 0.0);
    script.host.executeCode(code, standin::asVisData(frame.get()));
    EXPECT_EQ(*script.var("got"), 0.5 + 0.5 + 1.5);
}

}  // namespace
