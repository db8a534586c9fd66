// What a frame sees: the spectrum's scale and channels, and the waveform's place.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/frame_view.h"
#include "audio/signals/test_signals.h"

namespace audio {
namespace {

// Linear interpolation between bins, as a script's reading of the spectrum.
double readAt(const std::vector<float>& bins, double hz) {
    const double position = hz / kSpectrumBinHz;
    const size_t low = static_cast<size_t>(position);
    const double share = position - static_cast<double>(low);
    return bins[low] * (1.0 - share) + bins[low + 1] * share;
}

struct ToneCase {
    const char* name;
    double hz;
    double amplitude;
    int channels;  // 0 both, 1 left only
    double readHz;
    int channel;   // 0 left, 1 right
    double low, high;
};

class SpectrumReading : public ::testing::TestWithParam<ToneCase> {};

TEST_P(SpectrumReading, ReadsTheToneOnItsScale) {
    const ToneCase& c = GetParam();
    const StereoPcm pcm = signals::sine(c.hz, c.amplitude, 1.0, c.channels);
    FrameViewer viewer;
    std::vector<float> left(kSpectrumBins), right(kSpectrumBins);
    viewer.spectrum(pcm, 0.5, left.data(), right.data());
    const double value = readAt(c.channel == 0 ? left : right, c.readHz);
    EXPECT_GE(value, c.low);
    EXPECT_LE(value, c.high);
}

const double kMinus6Db = 0.5011872336272722;

INSTANTIATE_TEST_SUITE_P(
    Tones, SpectrumReading,
    ::testing::Values(ToneCase{"fullScaleAt1k", 1000, 1.0, 0, 1000, 0, 0.9, 1.05},
                      ToneCase{"minus6dBAt1k", 1000, kMinus6Db, 0, 1000, 0, 0.4, 0.6},
                      ToneCase{"minus6dBRightChannel", 1000, kMinus6Db, 0, 1000, 1, 0.4, 0.6},
                      ToneCase{"minus6dBSeenAt250", 1000, kMinus6Db, 0, 250, 0, 0.0, 0.02},
                      ToneCase{"minus6dBSeenAt4k", 1000, kMinus6Db, 0, 4000, 0, 0.0, 0.02},
                      ToneCase{"leftOnlyOnTheLeft", 1000, kMinus6Db, 1, 1000, 0, 0.4, 0.6},
                      ToneCase{"leftOnlyOnTheRight", 1000, kMinus6Db, 1, 1000, 1, 0.0, 0.02},
                      ToneCase{"silence", 1000, 0.0, 0, 1000, 0, 0.0, 0.0},
                      ToneCase{"lowTone", 55, 1.0, 0, 55, 0, 0.8, 1.05},
                      ToneCase{"highTone", 15000, 0.25, 0, 15000, 1, 0.2, 0.27}),
    [](const ::testing::TestParamInfo<ToneCase>& param) { return param.param.name; });

TEST(SpectrumBins, SpanZeroToNyquist) {
    EXPECT_EQ(kSpectrumBins, 2049);
    EXPECT_NEAR(kSpectrumBinHz * (kSpectrumBins - 1), kAnalysisRate / 2.0, 1e-9);
}

struct WaveCase {
    const char* name;
    double seconds;      // the frame's time
    long long firstSample;  // expected index of the window's first sample (-1: before the music)
};

class WaveformWindow : public ::testing::TestWithParam<WaveCase> {};

TEST_P(WaveformWindow, IsCentredOnTheFramesTime) {
    // A ramp: each sample tells its own index.
    StereoPcm pcm;
    for (int k = 0; k < 44100; ++k) {
        pcm.left.push_back(static_cast<float>(k) / 65536.0f);
        pcm.right.push_back(-static_cast<float>(k) / 65536.0f);
    }
    FrameViewer viewer;
    std::vector<float> left(kWaveSamples), right(kWaveSamples);
    viewer.waveform(pcm, GetParam().seconds, left.data(), right.data());
    const long long first = GetParam().firstSample;
    for (int k = 0; k < kWaveSamples; k += 37) {
        const long long index = first + k;
        const float want = index >= 0 && index < 44100 ? static_cast<float>(index) / 65536.0f : 0.0f;
        EXPECT_EQ(left[k], want) << k;
        EXPECT_EQ(right[k], -want) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Times, WaveformWindow,
                         ::testing::Values(WaveCase{"middle", 0.5, 22050 - 512}, WaveCase{"start", 0.0, -512},
                                           WaveCase{"pastTheEnd", 1.0, 44100 - 512}),
                         [](const ::testing::TestParamInfo<WaveCase>& param) { return param.param.name; });

}  // namespace
}  // namespace audio
