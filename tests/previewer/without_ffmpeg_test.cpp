// A build without FFmpeg's libraries (the 32-bit Linux one) refuses songs and
// clips with a message that says why and what to use instead, before any
// rendering and leaving nothing behind. Builds with FFmpeg skip these rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scratch_dir.h"
#include "tool_runner.h"

namespace {

struct UnavailableCase {
    const char* name;
    bool available;  // whether this build has what the row needs
    std::vector<std::string> options;
    const char* message;
};

const UnavailableCase kUnavailable[] = {
    {"Song", AUDIO_INPUT != 0, {"--audio", "song.wav"},
     "--audio song.wav: this triangle-render was built without FFmpeg's libraries and reads no songs "
     "(the 32-bit Linux build has none: use the 64-bit one)"},
    {"MissingSong", AUDIO_INPUT != 0, {"--audio", "missing.wav"}, "built without FFmpeg's libraries"},
    {"Clip", VIDEO_OUTPUT != 0, {"--video", "clip.mp4"},
     "--video clip.mp4: this triangle-render was built without FFmpeg's libraries and writes no clips "
     "(the 32-bit Linux build has none: use the 64-bit one)"},
    {"ClipWithSong", VIDEO_OUTPUT != 0, {"--video", "clip.webm", "--audio", "song.wav"}, "writes no clips"},
};

class WithoutFfmpeg : public ::testing::TestWithParam<UnavailableCase> {};

TEST_P(WithoutFfmpeg, RefusedBeforeRenderingWithTheReason) {
    const UnavailableCase& c = GetParam();
    if (c.available) GTEST_SKIP() << "this build has FFmpeg's libraries";
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 1\n");
    dir.write("song.wav", "RIFF");
    std::vector<std::string> args = c.options;
    args.insert(args.end(), {"--frames", "1000000", "--out", "last.bgra", "p.preset"});
    const ToolRun run = runTool(args, dir.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"p.preset", "song.wav"}));
}

INSTANTIATE_TEST_SUITE_P(Options, WithoutFfmpeg, ::testing::ValuesIn(kUnavailable),
                         [](const ::testing::TestParamInfo<UnavailableCase>& row) { return std::string(row.param.name); });

}  // namespace
