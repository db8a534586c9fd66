// Frame and sample times: sound samples per frame never drift, and a GIF
// shows at most 50 pictures a second at the times their frames are due.
#include <gtest/gtest.h>

#include <vector>

#include "video/timeline.h"

namespace {

struct SamplesCase {
    int64_t frames;
    int32_t rate, fps;
    int64_t samples;
};

const SamplesCase kSamples[] = {
    {0, 48000, 60, 0},          {1, 48000, 60, 800},     {1, 44100, 60, 735},
    {1, 48000, 24, 2000},       {3, 44100, 7, 18900},    {2, 44100, 7, 12600},
    {36000, 48000, 60, 28800000}, {18000, 44100, 30, 26460000},
};

class SamplesForFrames : public ::testing::TestWithParam<SamplesCase> {};

TEST_P(SamplesForFrames, CoversExactlyTheFrames) {
    const SamplesCase& c = GetParam();
    EXPECT_EQ(video::samplesForFrames(c.frames, c.rate, c.fps), c.samples);
}

INSTANTIATE_TEST_SUITE_P(Rates, SamplesForFrames, ::testing::ValuesIn(kSamples));

struct GifCase {
    int32_t fps;
    int32_t frames;
    std::vector<int64_t> shownAt;  // hundredths of a second, per kept frame
    int64_t endsAt;
};

const std::vector<GifCase> kGif = {
    {25, 4, {0, 4, 8, 12}, 16},
    {30, 4, {0, 3, 7, 10}, 13},
    {50, 3, {0, 2, 4}, 6},
    {60, 7, {0, 2, 4, 6, 8, 10}, 12},
    {100, 5, {0, 2, 4}, 6},
    {1, 2, {0, 100}, 200},
};

class GifTimes : public ::testing::TestWithParam<GifCase> {};

TEST_P(GifTimes, KeepsFramesAtMost50ASecond) {
    const GifCase& c = GetParam();
    const video::GifTimeline timeline(c.fps);
    std::vector<int64_t> shown;
    for (int32_t k = 0; k < c.frames; ++k) {
        if (timeline.keep(k)) shown.push_back(timeline.timeOf(k));
    }
    EXPECT_EQ(shown, c.shownAt);
    EXPECT_EQ(timeline.endOf(c.frames), c.endsAt);
}

INSTANTIATE_TEST_SUITE_P(Rates, GifTimes, ::testing::ValuesIn(kGif));

}  // namespace
