// --video end to end: the built tool writes clips that ffprobe and ffmpeg
// read back, each decoded frame close to the tool's own PNG of that frame;
// bad requests are refused before rendering; a stopped render leaves nothing.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "media_tools.h"
#include "../previewer/scratch_dir.h"
#include "../previewer/tool_runner.h"

namespace {

const std::string kDemo = EXAMPLES_DIR "/demo.preset";

// The PNG frames the tool wrote, as 0x00RRGGBB words, frames one after another.
std::vector<uint32_t> pngFrames(const std::string& directory) {
    int status = 0;
    const std::string bytes =
        runCommand("ffmpeg -v error -i '" + directory + "/frame-%04d.png' -f rawvideo -pix_fmt rgb24 -", status);
    std::vector<uint32_t> words(bytes.size() / 3);
    for (size_t k = 0; k < words.size(); ++k) {
        const auto byte = [&](size_t at) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])); };
        words[k] = byte(3 * k) << 16 | byte(3 * k + 1) << 8 | byte(3 * k + 2);
    }
    return words;
}

struct ClipCase {
    const char* name;
    std::vector<std::string> options;
    const char* file;
    const char* codec;
    const char* pixelFormat;
    int32_t width, height;  // as stored
    int32_t storedFrames;   // 60 frames asked for
    bool rgbReference;      // else the PNG in 4:2:0
    double minPsnr;
};

const ClipCase kClips[] = {
    {"Mp4", {}, "demo.mp4", "h264", "yuv420p", 320, 180, 60, false, 40},
    {"Mp4OddSize", {"--size", "321x181"}, "demo.mp4", "h264", "yuv420p", 322, 182, 60, false, 40},
    {"Mp4FullChroma", {"--video-chroma", "full"}, "demo.mp4", "h264", "yuv444p", 320, 180, 60, true, 40},
    {"WebM", {}, "demo.webm", "vp9", "yuv420p", 320, 180, 60, false, 40},
    {"WebMFullChroma", {"--video-chroma=full"}, "demo.webm", "vp9", "yuv444p", 320, 180, 60, true, 40},
    {"Gif", {}, "demo.gif", "gif", "bgra", 320, 180, 50, true, 30},
    {"GifFewColours", {"--video-quality", "16", "--video-dither"}, "demo.gif", "gif", "bgra", 320, 180, 50, true, 20},
};

class VideoOption : public testing::TestWithParam<ClipCase> {};

TEST_P(VideoOption, DecodedFramesMatchTheToolsOwnPngs) {
    const ClipCase& c = GetParam();
    ScratchDir dir;
    std::vector<std::string> args = {"--size", "320x180", "--frames", "60", "--frames-dir", "frames", "--video", c.file};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(kDemo);
    const ToolRun run = runTool(args, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");

    const std::vector<StreamInfo> streams = probeStreams(dir.file(c.file));
    ASSERT_EQ(streams.size(), 1u);
    StreamInfo stream = streams[0];
    EXPECT_EQ(stream["codec_name"], c.codec);
    EXPECT_EQ(stream["pix_fmt"], c.pixelFormat);
    EXPECT_EQ(stream["width"], std::to_string(c.width));
    EXPECT_EQ(stream["height"], std::to_string(c.height));
    EXPECT_EQ(stream["nb_read_frames"], std::to_string(c.storedFrames));
    if (std::string(c.codec) != "gif") {
        EXPECT_EQ(stream["avg_frame_rate"], "60/1");
        EXPECT_NEAR(std::atof(stream["seconds"].c_str()), 1.0, 0.5 / 60);
    }

    // The PNGs are the frames at the size asked for; the clip may be padded.
    const std::vector<uint32_t> pngs = pngFrames(dir.file("frames"));
    const int32_t askedWidth = std::stoi(c.options.size() > 1 && c.options[0] == "--size" ? "321" : "320");
    const int32_t askedHeight = askedWidth == 321 ? 181 : 180;
    const size_t askedPixels = static_cast<size_t>(askedWidth) * askedHeight;
    ASSERT_EQ(pngs.size(), askedPixels * 60);
    int status = 0;
    const std::vector<uint8_t> decoded = decodeFrames(dir.file(c.file), c.rgbReference ? "rgb24" : "yuv420p", status);
    ASSERT_EQ(status, 0);
    const size_t frameBytes = c.rgbReference ? static_cast<size_t>(c.width) * c.height * 3
                                             : static_cast<size_t>(c.width) * c.height * 3 / 2;
    ASSERT_EQ(decoded.size(), frameBytes * c.storedFrames);
    double worst = 99;
    for (int32_t shown = 0; shown < c.storedFrames; ++shown) {
        // A GIF at 60 frames a second keeps the first frame of each fiftieth of a second.
        const int32_t k = c.storedFrames == 60 ? shown : (shown * 60 + 49) / 50;
        std::vector<uint32_t> frame(static_cast<size_t>(c.width) * c.height);
        for (int32_t y = 0; y < c.height; ++y)
            for (int32_t x = 0; x < c.width; ++x)
                frame[static_cast<size_t>(y) * c.width + x] =
                    pngs[askedPixels * k + static_cast<size_t>(std::min(y, askedHeight - 1)) * askedWidth +
                         std::min(x, askedWidth - 1)];
        const std::vector<uint8_t> expected = c.rgbReference ? toRgb24(frame) : toYuv(frame, c.width, c.height, false);
        const double measured = psnr(expected.data(), decoded.data() + frameBytes * shown, frameBytes);
        EXPECT_GE(measured, c.minPsnr) << "frame " << k;
        worst = std::min(worst, measured);
    }
    std::printf("%s: lowest PSNR %.1f dB against the PNG%s\n", c.name, worst, c.rgbReference ? "" : " in 4:2:0");
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoOption, testing::ValuesIn(kClips),
                         [](const testing::TestParamInfo<ClipCase>& row) { return std::string(row.param.name); });

struct RefusalCase {
    const char* name;
    std::vector<std::string> options;
    const char* message;
};

const RefusalCase kRefusals[] = {
    {"UnknownExtension", {"--video", "clip.avi"}, "--video clip.avi: clip.avi: use a .mp4, .webm or .gif file name"},
    {"MissingFolder", {"--video", "no/clip.mp4"}, "--video no/clip.mp4: no/clip.mp4: no folder no"},
    {"QualityOutOfRange", {"--video", "clip.mp4", "--video-quality", "52"}, "x264 CRF, 0 (lossless) to 51"},
    {"UnknownSpeed", {"--video", "clip.webm", "--video-speed", "fast"}, "cpu-used number"},
    {"BadChroma", {"--video", "clip.mp4", "--video-chroma", "quarter"}, "--video-chroma: use half"},
    {"DitherOutsideGif", {"--video", "clip.mp4", "--video-dither"}, "dithering applies to GIF only"},
    {"VideoOverPreset", {"--video", "p.mp4"}, "p.mp4"},
};

class VideoRefused : public testing::TestWithParam<RefusalCase> {};

TEST_P(VideoRefused, BeforeRenderingAndLeavesNothing) {
    const RefusalCase& c = GetParam();
    ScratchDir dir;
    // A preset that is itself named like a video, for the row that would replace it.
    dir.write("p.mp4", "[frame]\nn = 1\n");
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--frames", "1000000", "p.mp4"});
    const ToolRun run = runTool(args, dir.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"p.mp4"});
}

INSTANTIATE_TEST_SUITE_P(Requests, VideoRefused, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<RefusalCase>& row) { return std::string(row.param.name); });

struct ReadOnlyCase {
    const char* name;
    std::vector<std::string> options;
    const char* message;
};

// Every output refuses a folder it may not write in before the first frame
// (a million frames would otherwise take minutes). Root may write anywhere,
// so as root the tool runs as nobody.
const ReadOnlyCase kReadOnly[] = {
    {"Video", {"--video", "locked/clip.mp4"}, "locked/clip.mp4: folder locked is not writable"},
    {"VideoWithSong", {"--video", "locked/clip.webm", "--audio", "song.wav"}, "folder locked is not writable"},
    {"LastFrame", {"--out", "locked/last.png"}, "locked/last.png: cannot write in locked"},
    {"Log", {"--log-frames", "locked/log.jsonl"}, "locked/log.jsonl: cannot write in locked"},
    {"FramesFolder", {"--frames-dir", "locked/frames"}, "locked/frames: cannot write in locked"},
};

class ReadOnlyFolder : public testing::TestWithParam<ReadOnlyCase> {};

TEST_P(ReadOnlyFolder, RefusedBeforeRenderingAndLeavesNothing) {
    const ReadOnlyCase& c = GetParam();
    ScratchDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    dir.write("p.preset", "[frame]\nn = 1\n");
    int status = 0;
    runCommand("sox -n -r 44100 -c 2 '" + dir.file("song.wav") + "' synth 2 sine 440 vol 0.5", status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(::mkdir(dir.file("locked").c_str(), 0555), 0);
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--frames", "1000000", "p.preset"});
    const ToolRun run = runToolUnprivileged(args, dir.path());
    ::chmod(dir.file("locked").c_str(), 0755);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"locked", "p.preset", "song.wav"}));
    // Not even a temporary name was made in it.
    EXPECT_EQ(runCommand("ls -A '" + dir.file("locked") + "'", status), "");
}

INSTANTIATE_TEST_SUITE_P(Outputs, ReadOnlyFolder, testing::ValuesIn(kReadOnly),
                         [](const testing::TestParamInfo<ReadOnlyCase>& row) { return std::string(row.param.name); });

// True once `directory` holds an entry starting with `prefix` (bounded wait).
bool appears(const std::string& directory, const std::string& prefix) {
    for (int attempt = 0; attempt < 3000; ++attempt) {
        if (DIR* listing = ::opendir(directory.c_str())) {
            bool found = false;
            while (const dirent* entry = ::readdir(listing)) found = found || std::string(entry->d_name).rfind(prefix, 0) == 0;
            ::closedir(listing);
            if (found) return true;
        }
        ::usleep(10000);
    }
    return false;
}

struct StopCase {
    const char* name;
    int signalNumber;
    const char* file;
};

const StopCase kStops[] = {
    {"CtrlCMp4", SIGINT, "clip.mp4"},
    {"TermWebM", SIGTERM, "clip.webm"},
    {"CtrlCGif", SIGINT, "clip.gif"},
};

class VideoStopped : public testing::TestWithParam<StopCase> {};

TEST_P(VideoStopped, LeavesNoFileAndNoTemporary) {
    const StopCase& c = GetParam();
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 200\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1; red = i\n");
    const RunningTool tool = startTool({"--size", "320x180", "--frames", "1000000", "--video", c.file, "p.preset"},
                                       dir.path());
    const bool started = appears(dir.path(), std::string(".") + c.file);
    ::kill(tool.pid, c.signalNumber);
    const ToolRun run = finishTool(tool);
    ASSERT_TRUE(started) << "the render never got under way: " << run.err;
    EXPECT_EQ(run.exitCode, 128 + c.signalNumber) << run.err;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"p.preset"});
}

INSTANTIATE_TEST_SUITE_P(Signals, VideoStopped, testing::ValuesIn(kStops),
                         [](const testing::TestParamInfo<StopCase>& row) { return std::string(row.param.name); });

}  // namespace

// With --audio the clip carries the song from --start, exactly as long as the
// pictures, at any --fps.
struct MusicClipCase {
    const char* name;
    const char* file;
    const char* fps;
    int32_t frames;
};

const MusicClipCase kMusicClips[] = {
    {"Mp4At60", "music.mp4", "60", 90},
    {"Mp4At24", "music.mp4", "24", 50},
    {"WebMAt30", "music.webm", "30", 45},
};

class VideoWithMusic : public testing::TestWithParam<MusicClipCase> {};

TEST_P(VideoWithMusic, SoundLastsAsLongAsThePictures) {
    const MusicClipCase& c = GetParam();
    ScratchDir dir;
    int status = 0;
    // Three seconds of a 440 Hz tone: longer than every clip, so the track is cut to the pictures.
    runCommand("sox -n -r 44100 -c 2 '" + dir.file("song.wav") + "' synth 3 sine 440 vol 0.5", status);
    ASSERT_EQ(status, 0);
    const ToolRun run = runTool({"--size", "64x36", "--audio", "song.wav", "--start", "0.5", "--fps", c.fps, "--frames",
                                 std::to_string(c.frames), "--video", c.file, kDemo},
                                dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::vector<StreamInfo> streams = probeStreams(dir.file(c.file));
    ASSERT_EQ(streams.size(), 2u);
    const double fps = std::atof(c.fps);
    const double seconds = c.frames / fps;
    for (StreamInfo stream : streams) {
        if (stream["codec_type"] == "video") {
            EXPECT_EQ(stream["nb_read_frames"], std::to_string(c.frames));
            EXPECT_NEAR(std::atof(stream["seconds"].c_str()), seconds, 0.5 / fps);
        } else {
            EXPECT_EQ(stream["codec_type"], "audio");
            EXPECT_NEAR(std::atof(stream["seconds"].c_str()), seconds, 1.0 / fps) << stream["codec_name"];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoWithMusic, testing::ValuesIn(kMusicClips),
                         [](const testing::TestParamInfo<MusicClipCase>& row) { return std::string(row.param.name); });
