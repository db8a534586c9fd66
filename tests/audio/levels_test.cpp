// Band levels and beats as the gain and the music change.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/band_levels.h"
#include "audio/signals/test_signals.h"
#include "audio/track_analysis.h"

namespace audio {
namespace {

constexpr double kFps = 60.0;

TEST(SilentMusic, HasNoBeatsNoTempoAndZeroLevels) {
    const TrackAnalysis analysis = TrackAnalysis::analyse(signals::silence(10));
    EXPECT_TRUE(analysis.beatTimes().empty());
    for (double t = 0; t < 10; t += 0.25) {
        const Levels levels = analysis.levelsAt(t);
        EXPECT_EQ(levels.bass, 0.0);
        EXPECT_EQ(levels.mid, 0.0);
        EXPECT_EQ(levels.treble, 0.0);
        EXPECT_EQ(analysis.tempoAt(t), 0.0);
    }
}

struct GainCase {
    const char* name;
    double gain;
};

class GainIndependence : public ::testing::TestWithParam<GainCase> {};

TEST_P(GainIndependence, QuietCopyHasTheSameBeatsAndLevels) {
    const StereoPcm loud = signals::song(120, 12);
    const TrackAnalysis full = TrackAnalysis::analyse(loud);
    const TrackAnalysis quiet = TrackAnalysis::analyse(signals::scaled(loud, GetParam().gain));
    ASSERT_FALSE(full.beatTimes().empty());

    const long frames = static_cast<long>(12 * kFps);
    const std::vector<bool> a = full.beatFrames(0, kFps, frames), b = quiet.beatFrames(0, kFps, frames);
    for (long k = 0; k < frames; ++k) {
        if (!a[static_cast<size_t>(k)]) continue;
        const bool near = b[static_cast<size_t>(k)] || (k > 0 && b[static_cast<size_t>(k - 1)]) ||
                          (k + 1 < frames && b[static_cast<size_t>(k + 1)]);
        EXPECT_TRUE(near) << "beat at frame " << k;
    }
    EXPECT_EQ(full.beatTimes().size(), quiet.beatTimes().size());

    for (double t = 2.0; t < 12; t += 1.0 / kFps) {
        const Levels x = full.levelsAt(t), y = quiet.levelsAt(t);
        EXPECT_NEAR(y.bass, x.bass, 0.1 * x.bass) << t;
        EXPECT_NEAR(y.mid, x.mid, 0.1 * x.mid) << t;
        EXPECT_NEAR(y.treble, x.treble, 0.1 * x.treble) << t;
    }
}

INSTANTIATE_TEST_SUITE_P(Gains, GainIndependence,
                         ::testing::Values(GainCase{"minus30dB", 0.0316227766}, GainCase{"minus12dB", 0.2511886432},
                                           GainCase{"plus6dB", 1.995262315}),
                         [](const ::testing::TestParamInfo<GainCase>& param) { return param.param.name; });

struct StepCase {
    const char* name;
    double before, after;  // amplitudes
    double settle;         // seconds after the step
    double low, high;      // expected level there
};

class BandLevelSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(BandLevelSteps, ReadTheLoudnessAgainstTheRecentAverage) {
    const StepCase& c = GetParam();
    const double hopRate = 100.0;
    BandLevels levels(hopRate);
    double level = 0;
    for (int k = 0; k < 10 * hopRate; ++k) level = levels.update(c.before);
    EXPECT_NEAR(level, c.before > 0 ? 1.0 : 0.0, 1e-9);
    for (int k = 0; k < c.settle * hopRate; ++k) level = levels.update(c.after);
    EXPECT_GE(level, c.low);
    EXPECT_LE(level, c.high);
}

INSTANTIATE_TEST_SUITE_P(Steps, BandLevelSteps,
                         ::testing::Values(StepCase{"twiceAsLoud", 0.1, 0.2, 0.6, 1.7, 2.0},
                                           StepCase{"settlesBackToOne", 0.1, 0.2, 8.0, 0.99, 1.01},
                                           StepCase{"halfAsLoud", 0.2, 0.1, 0.6, 0.5, 0.6},
                                           StepCase{"silenceAfterMusic", 0.2, 0.0, 2.0, 0.0, 0.001},
                                           StepCase{"fromSilence", 0.0, 0.3, 2.0, 0.9, 1.1}),
                         [](const ::testing::TestParamInfo<StepCase>& param) { return param.param.name; });

TEST(LevelsOutsideTheMusic, AreSilence) {
    const TrackAnalysis analysis = TrackAnalysis::analyse(signals::song(120, 4));
    EXPECT_GT(analysis.levelsAt(2).bass, 0.0);
    EXPECT_EQ(analysis.levelsAt(-1).bass, 0.0);
    EXPECT_EQ(analysis.levelsAt(4.5).mid, 0.0);
}

}  // namespace
}  // namespace audio
