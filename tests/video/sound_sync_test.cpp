// The sound track lasts as long as the pictures and stays with them: a long
// clip ends both together, and a click made at frame k is heard at k / fps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "../previewer/scratch_dir.h"
#include "clip_writer.h"
#include "media_tools.h"
#include "test_media.h"
#include "video/timeline.h"
#include "video/video_writer.h"

namespace {

video::VideoSettings smallClip(const std::string& path, int32_t fps, int32_t sampleRate) {
    video::VideoSettings settings;
    settings.path = path;
    settings.width = 64;
    settings.height = 36;
    settings.fps = fps;
    settings.audioSampleRate = sampleRate;
    return settings;
}

struct LongClipCase {
    const char* file;
    int32_t fps, sampleRate, minutes;
};

const LongClipCase kLongClips[] = {
    {"long.mp4", 30, 44100, 2},
    {"long.webm", 25, 48000, 10},
};

class LongClip : public ::testing::TestWithParam<LongClipCase> {};

// Ten minutes of frames are cheap to make: one picture, and a square wave
// for sound, handed over a frame's worth at a time as a render would.
TEST_P(LongClip, SoundAndPicturesEndTogether) {
    const LongClipCase& c = GetParam();
    ScratchDir dir;
    std::string error;
    const int32_t frames = c.minutes * 60 * c.fps;
    video::VideoSettings settings = smallClip(dir.file(c.file), c.fps, c.sampleRate);
    ASSERT_TRUE(video::VideoWriter::check(settings, error)) << error;
    std::unique_ptr<video::VideoWriter> writer = video::VideoWriter::open(settings, error);
    ASSERT_TRUE(writer) << error;
    const std::vector<uint32_t> picture = triangleFrame(64, 36, 0);
    std::vector<float> sound;
    int64_t given = 0;
    for (int32_t k = 0; k < frames; ++k) {
        const int64_t until = video::samplesForFrames(k + 1, c.sampleRate, c.fps);
        sound.resize(2 * static_cast<size_t>(until - given));
        for (int64_t s = given; s < until; ++s)
            sound[2 * static_cast<size_t>(s - given)] = sound[2 * static_cast<size_t>(s - given) + 1] =
                (s / 50) % 2 ? 0.25f : -0.25f;
        ASSERT_TRUE(writer->writeSound(sound.data(), static_cast<int32_t>(until - given), error)) << error;
        given = until;
        ASSERT_TRUE(writer->writeFrame(picture.data(), 64, error)) << error;
    }
    ASSERT_TRUE(writer->finish(error)) << error;

    std::vector<StreamInfo> streams = probeStreams(dir.file(c.file), false);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["nb_read_frames"], std::to_string(frames));
    const double pictures = std::atof(streams[0]["seconds"].c_str());
    const double heard = std::atof(streams[1]["seconds"].c_str());
    EXPECT_NEAR(pictures, c.minutes * 60.0, 1.0 / c.fps);
    EXPECT_NEAR(heard, pictures, 1.0 / c.fps);
}

INSTANTIATE_TEST_SUITE_P(Formats, LongClip, ::testing::ValuesIn(kLongClips));

struct ClickCase {
    const char* file;
    int32_t fps, sampleRate, clickFrame;
    int32_t feedEvery;  // sound handed over every this many frames
};

const ClickCase kClicks[] = {
    {"click.mp4", 60, 48000, 150, 1},
    {"click.mp4", 30, 44100, 77, 7},
    {"click.webm", 60, 44100, 150, 1},
    {"click.webm", 24, 48000, 50, 5},
};

class Click : public ::testing::TestWithParam<ClickCase> {};

// Silence with a full-scale burst from the start of frame clickFrame.
TEST_P(Click, IsHeardWhenItsFrameIsShown) {
    const ClickCase& c = GetParam();
    ScratchDir dir;
    const std::string path = dir.file(c.file);
    const int32_t frames = c.clickFrame + 30;
    std::string error;
    video::VideoSettings settings = smallClip(path, c.fps, c.sampleRate);
    ASSERT_TRUE(video::VideoWriter::check(settings, error)) << error;
    std::unique_ptr<video::VideoWriter> writer = video::VideoWriter::open(settings, error);
    ASSERT_TRUE(writer) << error;
    const int64_t clickAt = video::samplesForFrames(c.clickFrame, c.sampleRate, c.fps);
    int64_t given = 0;
    for (int32_t k = 0; k < frames; ++k) {
        if (k % c.feedEvery == 0) {
            const int64_t until = video::samplesForFrames(std::min(k + c.feedEvery, frames), c.sampleRate, c.fps);
            std::vector<float> sound = tone(given, static_cast<int32_t>(until - given), c.sampleRate, 1000.0);
            for (int64_t s = given; s < until; ++s) {
                if (s < clickAt) sound[2 * static_cast<size_t>(s - given)] = sound[2 * static_cast<size_t>(s - given) + 1] = 0;
            }
            ASSERT_TRUE(writer->writeSound(sound.data(), static_cast<int32_t>(until - given), error)) << error;
            given = until;
        }
        const std::vector<uint32_t> frame(64 * 36, 0x00336699u);
        ASSERT_TRUE(writer->writeFrame(frame.data(), 64, error)) << error;
    }
    ASSERT_TRUE(writer->finish(error)) << error;

    int status = 0;
    const std::string raw =
        runCommand("ffmpeg -v error -i '" + path + "' -map 0:a -ac 1 -ar 48000 -f f32le -", status);
    ASSERT_EQ(status, 0);
    const float* samples = reinterpret_cast<const float*>(raw.data());
    const size_t count = raw.size() / sizeof(float);
    size_t onset = count;
    for (size_t k = 0; k < count; ++k) {
        if (std::fabs(samples[k]) > 0.2f) {
            onset = k;
            break;
        }
    }
    ASSERT_LT(onset, count) << "no click decoded";
    const double heardAt = static_cast<double>(onset) / 48000.0;
    const double shownAt = static_cast<double>(c.clickFrame) / c.fps;
    EXPECT_NEAR(heardAt, shownAt, 0.5 / c.fps);
    EXPECT_NEAR(static_cast<double>(count) / 48000.0, static_cast<double>(frames) / c.fps, 1.0 / c.fps);
}

INSTANTIATE_TEST_SUITE_P(Formats, Click, ::testing::ValuesIn(kClicks));

}  // namespace
