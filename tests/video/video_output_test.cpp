// The previewer's video output with a sound feed, as the music will drive it:
// sound asked for frame by frame, the clip renamed into place when complete.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "../previewer/scratch_dir.h"
#include "media_tools.h"
#include "previewer/video_output.h"
#include "test_media.h"
#include "video/timeline.h"

namespace {

// A 1 kHz tone that starts at `onsetFrame`; silence before. Counts what it handed over.
class ToneFeed : public previewer::SoundFeed {
public:
    ToneFeed(int32_t rate, int32_t onsetFrame) : rate_(rate), onsetFrame_(onsetFrame) {}
    int32_t sampleRate() const override { return rate_; }
    void samplesUpTo(int32_t frames, std::vector<float>& out) override {
        const int64_t until = video::samplesForFrames(frames, rate_, previewer::kVideoFps);
        out = tone(given_, static_cast<int32_t>(until - given_), rate_, 1000.0);
        const int64_t onset = video::samplesForFrames(onsetFrame_, rate_, previewer::kVideoFps);
        for (int64_t s = given_; s < until && s < onset; ++s) out[2 * (s - given_)] = out[2 * (s - given_) + 1] = 0;
        given_ = until;
    }
    int64_t given() const { return given_; }

private:
    int32_t rate_, onsetFrame_;
    int64_t given_ = 0;
};

struct FeedCase {
    const char* file;
    int32_t rate, frames, onsetFrame;
    const char* soundCodec;
};

const FeedCase kFeeds[] = {
    {"music.mp4", 44100, 90, 45, "aac"},
    {"music.webm", 48000, 75, 30, "opus"},
};

class VideoOutputWithSound : public testing::TestWithParam<FeedCase> {};

TEST_P(VideoOutputWithSound, KeepsTheSoundWithItsFrames) {
    const FeedCase& c = GetParam();
    ScratchDir dir;
    previewer::Options options;
    options.width = 64;
    options.height = 36;
    options.videoFile = dir.file(c.file);
    std::string error;
    ASSERT_TRUE(previewer::checkVideoOutput(options, true, error)) << error;
    ToneFeed feed(c.rate, c.onsetFrame);
    std::unique_ptr<previewer::VideoOutput> output = previewer::VideoOutput::start(options, &feed, error);
    ASSERT_TRUE(output) << error;
    EXPECT_EQ(dir.entries().size(), 1u) << "the temporary only";
    EXPECT_NE(dir.entries()[0], c.file);
    const previewer::Image frame(64, 36, 0x00204080u);
    for (int32_t k = 0; k < c.frames; ++k) ASSERT_TRUE(output->add(frame, error)) << error;
    EXPECT_EQ(feed.given(), video::samplesForFrames(c.frames, c.rate, previewer::kVideoFps));
    ASSERT_TRUE(output->finish(error)) << error;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{c.file});

    std::vector<StreamInfo> streams = probeStreams(options.videoFile);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[1]["codec_name"], c.soundCodec);
    const double seconds = static_cast<double>(c.frames) / previewer::kVideoFps;
    EXPECT_NEAR(std::atof(streams[0]["seconds"].c_str()), seconds, 0.5 / previewer::kVideoFps);
    EXPECT_NEAR(std::atof(streams[1]["seconds"].c_str()), seconds, 1.0 / previewer::kVideoFps);

    int status = 0;
    const std::string raw =
        runCommand("ffmpeg -v error -i '" + options.videoFile + "' -map 0:a -ac 1 -ar 48000 -f f32le -", status);
    ASSERT_EQ(status, 0);
    const float* samples = reinterpret_cast<const float*>(raw.data());
    size_t onset = 0;
    while (onset < raw.size() / 4 && std::fabs(samples[onset]) < 0.2f) ++onset;
    EXPECT_NEAR(static_cast<double>(onset) / 48000, static_cast<double>(c.onsetFrame) / previewer::kVideoFps,
                0.5 / previewer::kVideoFps);
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoOutputWithSound, testing::ValuesIn(kFeeds));

}  // namespace
