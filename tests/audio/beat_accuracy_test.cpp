// Beats and tempo found in music whose beats the test itself placed.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/signals/test_signals.h"
#include "audio/track_analysis.h"
#include "beat_matching.h"

namespace audio {
namespace {

constexpr double kFps = 60.0;
constexpr double kTwoFrames = 2.0 / kFps;

struct TempoCase {
    const char* name;
    double bpm;
    bool kicksOnly;
    double gain;
    bool song = false;  // kick, snare, hats, bass and chords rather than bare beats
};

class BeatAccuracy : public ::testing::TestWithParam<TempoCase> {};

TEST_P(BeatAccuracy, FindsTheBeatsAndTheTempo) {
    const TempoCase& c = GetParam();
    signals::ClickTrack track;
    track.bpm = c.bpm;
    track.seconds = 14;
    track.firstBeat = 0.5;
    track.kicksOnly = c.kicksOnly;
    track.gain = c.gain;
    const StereoPcm pcm = c.song ? signals::song(c.bpm, track.seconds, track.firstBeat) : signals::clickTrack(track);
    const TrackAnalysis analysis = TrackAnalysis::analyse(pcm);
    const long frames = static_cast<long>(track.seconds * kFps);
    const std::vector<double> found = testing::timesOfFrames(analysis.beatFrames(0, kFps, frames), 0, kFps);
    const testing::BeatScore score = testing::scoreBeats(found, signals::clickTimes(track), kTwoFrames);
    EXPECT_GE(score.hitShare(), 0.95) << score.found << " of " << score.expected;
    EXPECT_LE(score.extraShare(), 0.05) << score.extra << " extra";
    for (double t = 4.0; t < track.seconds; t += 1.0) EXPECT_NEAR(analysis.tempoAt(t), c.bpm, 2.0) << "at " << t << " s";
}

INSTANTIATE_TEST_SUITE_P(Tempi, BeatAccuracy,
                         ::testing::Values(TempoCase{"clicks90", 90, false, 1.0}, TempoCase{"clicks120", 120, false, 1.0},
                                           TempoCase{"clicks150", 150, false, 1.0}, TempoCase{"kicks90", 90, true, 1.0},
                                           TempoCase{"kicks120", 120, true, 1.0}, TempoCase{"kicks150", 150, true, 1.0},
                                           TempoCase{"quietClicks120", 120, false, 0.0316},
                                           TempoCase{"song100", 100, false, 1.0, true},
                                           TempoCase{"song124", 124, false, 1.0, true}),
                         [](const ::testing::TestParamInfo<TempoCase>& param) { return param.param.name; });

}  // namespace
}  // namespace audio
