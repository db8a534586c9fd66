// Live analysis, fed in blocks as a sound card would deliver them.
#include <gtest/gtest.h>

#include <algorithm>

#include "audio/signals/test_signals.h"
#include "audio/stream_analyzer.h"
#include "beat_matching.h"

namespace audio {
namespace {

struct LiveCase {
    const char* name;
    double bpm;
    size_t block;  // samples per push (one video frame's worth, or a sound card buffer)
};

class LiveAnalysis : public ::testing::TestWithParam<LiveCase> {};

TEST_P(LiveAnalysis, FollowsTheBeatWithoutLookingAhead) {
    const LiveCase& c = GetParam();
    signals::ClickTrack track;
    track.bpm = c.bpm;
    track.seconds = 16;
    const StereoPcm pcm = signals::clickTrack(track);
    StreamAnalyzer analyzer;
    std::vector<double> beats;
    for (size_t at = 0; at < pcm.frames(); at += c.block) {
        const size_t count = std::min(c.block, pcm.frames() - at);
        analyzer.push(pcm.left.data() + at, pcm.right.data() + at, count);
        const double now = static_cast<double>(at + count) / kAnalysisRate;
        if (analyzer.takeBeat()) beats.push_back(now);
        if (now > 8.0) {
            EXPECT_NEAR(analyzer.tempo(), c.bpm, 2.0) << "at " << now;
        }
    }
    // Reported when heard: up to the window's half and a block late.
    const double latency = 0.5 * kOnsetWindow / kAnalysisRate + 2.0 * kHopSeconds + static_cast<double>(c.block) / kAnalysisRate;
    std::vector<double> shifted;
    for (double t : beats) shifted.push_back(t - latency / 2);
    const testing::BeatScore score = testing::scoreBeats(shifted, signals::clickTimes(track), latency / 2 + 0.02);
    EXPECT_GE(score.hitShare(), 0.9) << score.found << " of " << score.expected;
    EXPECT_LE(score.extraShare(), 0.05) << score.extra;
}

INSTANTIATE_TEST_SUITE_P(Tempi, LiveAnalysis,
                         ::testing::Values(LiveCase{"at90perFrame", 90, 735}, LiveCase{"at120perFrame", 120, 735},
                                           LiveCase{"at150smallBuffers", 150, 256}),
                         [](const ::testing::TestParamInfo<LiveCase>& param) { return param.param.name; });

TEST(LiveAnalysisOfSilence, FindsNothing) {
    const StereoPcm pcm = signals::silence(8);
    StreamAnalyzer analyzer;
    for (size_t at = 0; at < pcm.frames(); at += 735) {
        analyzer.push(pcm.left.data() + at, pcm.right.data() + at, std::min<size_t>(735, pcm.frames() - at));
        EXPECT_FALSE(analyzer.takeBeat());
        EXPECT_EQ(analyzer.bass(), 0.0);
        EXPECT_EQ(analyzer.tempo(), 0.0);
    }
}

}  // namespace
}  // namespace audio
