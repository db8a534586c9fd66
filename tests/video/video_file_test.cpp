// Clips written by the library, looked into with ffprobe and decoded again
// with ffmpeg: streams, codecs, sizes, rates, frame counts, durations, and
// how close each decoded frame is to the frame given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../previewer/scratch_dir.h"
#include "clip_writer.h"
#include "media_tools.h"
#include "test_media.h"
#include "video/timeline.h"

namespace {

// What a decoded frame is compared with. In 4:2:0 the colour of a saturated
// edge is shared by four pixels, which alone costs 26-34 dB against the RGB
// frame; such clips are measured against the frame converted to 4:2:0, so the
// figure is what the encoder lost.
enum class Reference { Frame420, FrameRgb };

struct ClipCase {
    const char* name;
    const char* file;
    int32_t width, height, fps, frames;
    bool sound, fullChroma;
    const char* codec;
    const char* pixelFormat;  // as ffprobe names the stream's
    int32_t codedWidth, codedHeight, shownFrames;
    const char* soundCodec;  // "" without sound
    Reference reference;
    double minPsnr;
};

const ClipCase kClips[] = {
    {"Mp4", "clip.mp4", 160, 90, 30, 30, true, false, "h264", "yuv420p", 160, 90, 30, "aac", Reference::Frame420, 40},
    {"Mp4OddSizePadded", "odd.mp4", 161, 91, 25, 10, false, false, "h264", "yuv420p", 162, 92, 10, "",
     Reference::Frame420, 40},
    {"Mp4FullChroma", "full.mp4", 160, 90, 30, 10, false, true, "h264", "yuv444p", 160, 90, 10, "",
     Reference::FrameRgb, 40},
    {"WebM", "clip.webm", 160, 90, 30, 30, true, false, "vp9", "yuv420p", 160, 90, 30, "opus", Reference::Frame420,
     40},
    {"WebMOddSize", "odd.webm", 161, 91, 25, 10, false, false, "vp9", "yuv420p", 161, 91, 10, "",
     Reference::Frame420, 40},
    {"WebMFullChroma", "full.webm", 160, 90, 30, 10, false, true, "vp9", "yuv444p", 160, 90, 10, "",
     Reference::FrameRgb, 40},
    {"Gif", "clip.gif", 160, 90, 25, 20, false, false, "gif", "bgra", 160, 90, 20, "", Reference::FrameRgb, 99},
    {"Gif60FpsShownAt50", "fast.gif", 120, 68, 60, 60, false, false, "gif", "bgra", 120, 68, 50, "",
     Reference::FrameRgb, 99},
};

class VideoFile : public ::testing::TestWithParam<ClipCase> {};

// The frame as the encoder saw it: H.264 in 4:2:0 repeats the last column and row.
std::vector<uint32_t> padded(const std::vector<uint32_t>& frame, int32_t width, int32_t height, int32_t toWidth,
                             int32_t toHeight) {
    std::vector<uint32_t> out(static_cast<size_t>(toWidth) * toHeight);
    for (int32_t y = 0; y < toHeight; ++y)
        for (int32_t x = 0; x < toWidth; ++x)
            out[static_cast<size_t>(y) * toWidth + x] =
                frame[static_cast<size_t>(std::min(y, height - 1)) * width + std::min(x, width - 1)];
    return out;
}

TEST_P(VideoFile, ProbesAndDecodesAsAsked) {
    const ClipCase& c = GetParam();
    ScratchDir dir;
    video::VideoSettings settings;
    settings.path = dir.file(c.file);
    settings.width = c.width;
    settings.height = c.height;
    settings.fps = c.fps;
    settings.fullChroma = c.fullChroma;
    settings.audioSampleRate = c.sound ? 44100 : 0;
    std::string error;
    ASSERT_TRUE(writeTriangleClip(settings, c.frames, error)) << error;

    const std::vector<StreamInfo> streams = probeStreams(settings.path);
    ASSERT_EQ(streams.size(), c.sound ? 2u : 1u);
    StreamInfo picture = streams[0];
    EXPECT_EQ(picture["codec_type"], "video");
    EXPECT_EQ(picture["codec_name"], c.codec);
    EXPECT_EQ(picture["pix_fmt"], c.pixelFormat);
    EXPECT_EQ(picture["width"], std::to_string(c.codedWidth));
    EXPECT_EQ(picture["height"], std::to_string(c.codedHeight));
    EXPECT_EQ(picture["nb_read_frames"], std::to_string(c.shownFrames));
    const double seconds = static_cast<double>(c.frames) / c.fps;
    if (std::string(c.codec) != "gif") {
        EXPECT_EQ(picture["avg_frame_rate"], std::to_string(c.fps) + "/1");
        EXPECT_NEAR(std::atof(picture["seconds"].c_str()), seconds, 0.5 / c.fps);
    }
    if (c.sound) {
        StreamInfo sound = streams[1];
        EXPECT_EQ(sound["codec_type"], "audio");
        EXPECT_EQ(sound["codec_name"], c.soundCodec);
        EXPECT_EQ(sound["sample_rate"], "48000");
        EXPECT_EQ(sound["channels"], "2");
        EXPECT_NEAR(std::atof(sound["seconds"].c_str()), seconds, 1.0 / c.fps);
    }

    const bool rgb = c.reference == Reference::FrameRgb;
    int status = 0;
    const std::vector<uint8_t> decoded = decodeFrames(settings.path, rgb ? "rgb24" : "yuv420p", status);
    ASSERT_EQ(status, 0);
    const size_t frameBytes = rgb ? static_cast<size_t>(c.codedWidth) * c.codedHeight * 3
                                  : static_cast<size_t>(c.codedWidth) * c.codedHeight +
                                        2 * static_cast<size_t>((c.codedWidth + 1) / 2) * ((c.codedHeight + 1) / 2);
    ASSERT_EQ(decoded.size(), frameBytes * c.shownFrames);
    video::GifTimeline shown(c.fps);
    int32_t shownIndex = 0;
    double worst = 99;
    for (int32_t k = 0; k < c.frames; ++k) {
        if (std::string(c.codec) == "gif" && !shown.keep(k)) continue;
        const std::vector<uint32_t> frame =
            padded(triangleFrame(c.width, c.height, k), c.width, c.height, c.codedWidth, c.codedHeight);
        const std::vector<uint8_t> expected =
            rgb ? toRgb24(frame) : toYuv(frame, c.codedWidth, c.codedHeight, false);
        ASSERT_EQ(expected.size(), frameBytes);
        const double measured = psnr(expected.data(), decoded.data() + frameBytes * shownIndex, frameBytes);
        EXPECT_GE(measured, c.minPsnr) << "frame " << k;
        worst = std::min(worst, measured);
        ++shownIndex;
    }
    std::printf("%s: lowest PSNR %.1f dB against the %s\n", c.name, worst,
                rgb ? "RGB frame" : "frame in 4:2:0");
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoFile, ::testing::ValuesIn(kClips),
                         [](const ::testing::TestParamInfo<ClipCase>& row) { return std::string(row.param.name); });

}  // namespace
