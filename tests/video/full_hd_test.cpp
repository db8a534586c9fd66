// Half a second of 1080p at 60 fps with sound, in each format that carries sound:
// every frame decodes without an error and the sound lasts as long.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../previewer/scratch_dir.h"
#include "clip_writer.h"
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
    ASSERT_TRUE(writeTriangleClip(settings, 30, error)) << error;
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
