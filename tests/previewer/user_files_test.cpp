// The user's files are safe: no output replaces a preset, a new frame series
// leaves none of an older, longer one behind, and a render stopped by Ctrl-C
// or SIGTERM leaves no temporary file.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "scratch_dir.h"
#include "tool_runner.h"

namespace {

using namespace std::string_literals;

const char* const kPreset = "[frame]\nn = 1\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n";

struct SameFileCase {
    const char* name;
    const char* presetName;  // where the preset is written
    const char* link;        // a hard link made to it, or ""
    std::vector<std::string> args;
    const char* option;
};

class OutputOverInput : public testing::TestWithParam<SameFileCase> {};

TEST_P(OutputOverInput, IsRefusedBeforeRenderingAndTheInputKept) {
    ScratchDir dir;
    ASSERT_EQ(::mkdir(dir.file("frames").c_str(), 0777), 0);
    dir.write(GetParam().presetName, kPreset);
    if (*GetParam().link != '\0') {
        ASSERT_EQ(::link(dir.file(GetParam().presetName).c_str(), dir.file(GetParam().link).c_str()), 0);
    }
    const std::vector<std::string> before = dir.entries();

    std::vector<std::string> args = {"--size", "8x8", "--frames", "3"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    args.push_back(GetParam().presetName);
    const ToolRun run = runTool(args, dir.path());
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(run.err.rfind("triangle-render: "s + GetParam().option + " ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("is the input " + std::string(GetParam().presetName)), std::string::npos) << run.err;
    EXPECT_EQ(readFile(dir.file(GetParam().presetName)), kPreset);
    EXPECT_EQ(dir.entries(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, OutputOverInput,
    testing::Values(SameFileCase{"SaveBlockOverPreset", "my.preset", "", {"--save-block", "my.preset"}, "--save-block"},
                    SameFileCase{"SaveBlockThroughAnotherPath", "my.preset", "", {"--save-block", "frames/../my.preset"},
                                 "--save-block"},
                    SameFileCase{"OutOverAHardLink", "my.preset", "copy.png", {"--out", "copy.png"}, "--out"},
                    SameFileCase{"SheetOverPreset", "p.png", "", {"--sheet", "p.png"}, "--sheet"},
                    SameFileCase{"FrameOverPreset", "frames/frame-0001.png", "", {"--frames-dir", "frames"},
                                 "--frames-dir"},
                    SameFileCase{"StaleFrameIsPreset", "frames/frame-0007.png", "", {"--frames-dir", "frames"},
                                 "--frames-dir"}),
    [](const testing::TestParamInfo<SameFileCase>& testCase) { return std::string(testCase.param.name); });

#if PNG_OUTPUT
TEST(FramesDir, ALaterShorterRenderRemovesOnlyItsPatternsStaleFrames) {
    ScratchDir dir;
    dir.write("p.preset", kPreset);
    ASSERT_EQ(runTool({"--size", "4x4", "--frames", "5", "--frames-dir", "frames", "p.preset"}, dir.path()).exitCode, 0);
    dir.write("frames/notes.txt", "mine");
    dir.write("frames/frame-0004.png.bak", "mine");
    const ToolRun run = runTool({"--size", "4x4", "--frames", "2", "--frames-dir", "frames", "p.preset"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> left;
    for (const char* name : {"frame-0000.png", "frame-0001.png", "frame-0002.png", "frame-0004.png",
                             "frame-0004.png.bak", "notes.txt"})
        if (fileExists(dir.file("frames/"s + name))) left.push_back(name);
    EXPECT_EQ(left, (std::vector<std::string>{"frame-0000.png", "frame-0001.png", "frame-0004.png.bak", "notes.txt"}));
}
#endif

// Waits (without a deadline that could make the test flaky, but bounded so a
// broken build does not hang) for a file whose name starts with `prefix`.
bool waitForEntry(const std::string& directory, const std::string& prefix) {
    for (int k = 0; k < 6000; ++k) {
        DIR* dir = ::opendir(directory.c_str());
        bool found = false;
        if (dir != nullptr) {
            while (const dirent* entry = ::readdir(dir)) found = found || std::string(entry->d_name).rfind(prefix, 0) == 0;
            ::closedir(dir);
        }
        if (found) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

struct SignalCase {
    const char* name;
    int signalNumber;
    std::vector<std::string> outputs;
    const char* waitIn;   // directory to watch, relative to the scratch dir
    const char* waitFor;  // name prefix that shows the render is under way
};

class StoppedMidRender : public testing::TestWithParam<SignalCase> {};

TEST_P(StoppedMidRender, LeavesNoTemporaryFile) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 20000\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = i\n");
    std::vector<std::string> args = {"--size", "320x200", "--frames", "1000000"};
    args.insert(args.end(), GetParam().outputs.begin(), GetParam().outputs.end());
    args.push_back("p.preset");
    const RunningTool tool = startTool(args, dir.path());
    const bool started = waitForEntry(dir.file(GetParam().waitIn), GetParam().waitFor);
    ::kill(tool.pid, GetParam().signalNumber);
    const ToolRun run = finishTool(tool);
    ASSERT_TRUE(started) << "the render never got under way: " << run.err;
    EXPECT_EQ(run.exitCode, 128 + GetParam().signalNumber) << "ended by the signal itself: " << run.err;
    for (const std::string& name : dir.entries()) EXPECT_NE(name[0], '.') << "left behind: " << name;
    if (fileExists(dir.file("frames"))) {
        DIR* frames = ::opendir(dir.file("frames").c_str());
        ASSERT_NE(frames, nullptr);
        while (const dirent* entry = ::readdir(frames)) {
            const std::string name = entry->d_name;
            EXPECT_TRUE(name == "." || name == ".." || name[0] != '.') << "left behind: frames/" << name;
        }
        ::closedir(frames);
    }
}

const std::vector<SignalCase> kSignalCases = {
    {"CtrlCWithOutputs", SIGINT, {"--out", "last.png", "--sheet", "sheet.png", "--save-block", "b.bin"}, ".", ".last.png."},
    {"TermWithOutputs", SIGTERM, {"--out", "last.bgra", "--save-block", "b.bin"}, ".", ".b.bin."},
#if PNG_OUTPUT
    {"CtrlCWithFrames", SIGINT, {"--frames-dir", "frames"}, "frames", "frame-0002"},
    {"TermWithFrames", SIGTERM, {"--frames-dir", "frames"}, "frames", "frame-0002"},
#endif
};

INSTANTIATE_TEST_SUITE_P(
    Signals, StoppedMidRender, testing::ValuesIn(kSignalCases),
    [](const testing::TestParamInfo<SignalCase>& testCase) { return std::string(testCase.param.name); });

// Ctrl-C inside one frame of two billion triangles, which would take minutes
// to finish: the tool must end by the signal instead of finishing the frame.
// The watchdog only stops a tool that ignores the signal; it measures nothing.
TEST(StoppedMidFrame, EndsByTheSignalInsteadOfFinishingTheFrame) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 2000000000\n[triangle]\nx1 = 0; y1 = 0; x2 = 0.01; y2 = 0; x3 = 0; y3 = 0.01\n");
    const RunningTool tool = startTool({"--size", "64x64", "--frames", "1", "--out", "last.png", "p.preset"}, dir.path());
    const bool started = waitForEntry(dir.path(), ".last.png.");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // well inside the frame
    ::kill(tool.pid, SIGINT);
    bool ended = false;
    for (int k = 0; k < 3000 && !ended; ++k) {
        siginfo_t info{};
        ended = ::waitid(P_PID, static_cast<id_t>(tool.pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                info.si_pid == tool.pid;
        if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) ::kill(tool.pid, SIGKILL);
    const ToolRun run = finishTool(tool);
    ASSERT_TRUE(started) << run.err;
    EXPECT_TRUE(ended) << "still drawing the frame 30 s after Ctrl-C";
    EXPECT_EQ(run.exitCode, 128 + SIGINT) << run.err;
    for (const std::string& name : dir.entries()) EXPECT_NE(name[0], '.') << "left behind: " << name;
}

}  // namespace
