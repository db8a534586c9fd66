// The music as heard: the samples the device is given are the song's, in
// order, looping or running into silence; paused, nothing moves; and each
// frame sees only what has been heard, never a sample ahead.
#include "live/heard_music.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A song whose every sample is its own index (left) and minus it (right),
// scaled small, so any sample tells where it came from.
audio::StereoPcm countingSong(int frames) {
    audio::StereoPcm song;
    for (int k = 0; k < frames; ++k) {
        song.left.push_back(static_cast<float>(k + 1) / 65536.0f);
        song.right.push_back(-static_cast<float>(k + 1) / 65536.0f);
    }
    return song;
}

struct PlayCase {
    const char* name;
    bool loop;
    bool paused;
    int songFrames;
    std::vector<int> chunks;       // frames asked for by each callback
    std::vector<int> songIndexes;  // the song sample each played frame holds (-1: silence)
};

class DevicePlays : public testing::TestWithParam<PlayCase> {};

TEST_P(DevicePlays, TheSongInOrder) {
    const PlayCase& c = GetParam();
    live::HeardMusic music(countingSong(c.songFrames), 0.0, c.loop);
    music.setPaused(c.paused);
    std::vector<float> played;
    for (int frames : c.chunks) {
        std::vector<float> buffer(static_cast<size_t>(frames) * 2, 99.0f);
        music.play(buffer.data(), frames);
        played.insert(played.end(), buffer.begin(), buffer.end());
    }
    ASSERT_EQ(played.size(), c.songIndexes.size() * 2);
    for (size_t k = 0; k < c.songIndexes.size(); ++k) {
        const float want = c.songIndexes[k] < 0 ? 0.0f : static_cast<float>(c.songIndexes[k] + 1) / 65536.0f;
        EXPECT_EQ(played[2 * k], want) << "frame " << k;
        EXPECT_EQ(played[2 * k + 1], -want) << "frame " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DevicePlays,
                         testing::Values(PlayCase{"Plain", false, false, 5, {2, 2}, {0, 1, 2, 3}},
                                         PlayCase{"RunsIntoSilence", false, false, 3, {2, 3}, {0, 1, 2, -1, -1}},
                                         PlayCase{"Loops", true, false, 3, {4, 3}, {0, 1, 2, 0, 1, 2, 0}},
                                         PlayCase{"Paused", false, true, 3, {2}, {-1, -1}}),
                         [](const testing::TestParamInfo<PlayCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

TEST(FrameHears, OnlyWhatWasPlayed) {
    const int songFrames = 10000;
    live::HeardMusic music(countingSong(songFrames), 2.0, false);
    auto frame = std::make_unique<standin::MusicFrame>();
    bool beat = false;
    std::vector<float> buffer(2 * 700);
    music.play(buffer.data(), 700);
    music.fill(0, *frame, beat);
    EXPECT_DOUBLE_EQ(frame->time, 2.0 + 700.0 / audio::kAnalysisRate);
    EXPECT_EQ(frame->frameIndex, 0);
    // The waveform ends with the newest sample heard (index 699), no later.
    const float* left = frame->wave[standin::MusicFrame::kLeft];
    EXPECT_EQ(left[audio::kWaveSamples - 1], 700.0f / 65536.0f);
    EXPECT_EQ(left[audio::kWaveSamples - 700], 1.0f / 65536.0f);
    EXPECT_EQ(left[audio::kWaveSamples - 701], 0.0f) << "before the song: silence";

    music.setPaused(true);
    music.play(buffer.data(), 700);
    music.fill(1, *frame, beat);
    EXPECT_DOUBLE_EQ(frame->time, 2.0 + 700.0 / audio::kAnalysisRate) << "paused, the time holds";

    music.restart();
    music.setPaused(false);
    music.play(buffer.data(), 10);
    music.fill(0, *frame, beat);
    EXPECT_DOUBLE_EQ(frame->time, 2.0 + 10.0 / audio::kAnalysisRate);
    EXPECT_EQ(buffer[0], 1.0f / 65536.0f) << "restarted from the song's first sample";
    EXPECT_EQ(left[audio::kWaveSamples - 11], 0.0f) << "what was heard before the restart is forgotten";
}

}  // namespace
