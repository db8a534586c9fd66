// Half a second of 1080p at 60 fps with sound, in each format that carries sound:
// every frame decodes without an error and the sound lasts as long.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../previewer/scratch_dir.h"
#include "test_media.h"
#include "video/video_writer.h"
#include "media_tools.h"

namespace {

class FullHd : public ::testing::TestWithParam<const char*> {};

TEST_P(FullHd, EveryFrameDecodes) {
    ScratchDir dir;
    video::VideoSettings settings;
    settings.path = dir.file(GetParam());
    settings.width = 1920;
    settings.height = 1080;
    settings.fps = 60;
    settings.audioSampleRate = 48000;
    std::string error;
    ASSERT_TRUE(video::VideoWriter::check(settings, error)) << error;
    std::unique_ptr<video::VideoWriter> writer = video::VideoWriter::open(settings, error);
    ASSERT_TRUE(writer) << error;
    // One picture of triangles, slid sideways a little every frame: motion at
    // the cost of a copy (drawing 1080p frames is slow in sanitizer builds).
    const std::vector<uint32_t> picture = triangleFrame(1920, 1080, 0);
    std::vector<uint32_t> frame(picture.size());
    const std::vector<float> sound = tone(0, 800, 48000, 440.0);
    for (int32_t k = 0; k < 30; ++k) {
        for (size_t row = 0; row < 1080; ++row)
            for (size_t x = 0; x < 1920; ++x) frame[row * 1920 + x] = picture[row * 1920 + (x + 8 * k) % 1920];
        ASSERT_TRUE(writer->writeSound(sound.data(), 800, error)) << error;
        ASSERT_TRUE(writer->writeFrame(frame.data(), 1920, error)) << error;
    }
    ASSERT_TRUE(writer->finish(error)) << error;
    int status = 0;
    const std::string messages =
        runCommand("ffmpeg -v error -xerror -i '" + settings.path + "' -f null -", status, true);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(messages, "");
    std::vector<StreamInfo> streams = probeStreams(settings.path);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]["nb_read_frames"], "30");
    EXPECT_NEAR(std::atof(streams[1]["seconds"].c_str()), std::atof(streams[0]["seconds"].c_str()), 1.0 / 60);
}

INSTANTIATE_TEST_SUITE_P(Formats, FullHd, ::testing::Values("hd.mp4", "hd.webm"));

}  // namespace
