// The progress bar: silent for quick renders and off a terminal, then one
// rewritten line that fits the terminal, moves within a long frame and is
// erased at the end.
#include <gtest/gtest.h>

#include <sstream>

#include "frontend/progress_bar.h"

namespace {

using frontend::ProgressBar;
using frontend::ProgressState;

struct LineCase {
    const char* name;
    ProgressState state;
    int32_t columns;
    const char* line;
};

class ProgressLines : public testing::TestWithParam<LineCase> {};

TEST_P(ProgressLines, ShowWhatIsKnownInTheRoomThereIs) {
    const std::string line = frontend::progressLine(GetParam().state, GetParam().columns);
    EXPECT_EQ(line, GetParam().line);
    EXPECT_LT(static_cast<int32_t>(line.size()), GetParam().columns) << "the last column stays free";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgressLines,
    testing::Values(
        LineCase{"Wide", {30, 120, 0, 2.0, 0.0}, 80,
                 "[#######.......................]  30/120 frames, 15 fps, 6 s left"},
        LineCase{"Done", {120, 120, 0, 8.0, 0.0}, 80, "[##############################] 120/120 frames, 15 fps"},
        LineCase{"Start", {0, 5, 0, 0.5, 0.0}, 40, "[..........................] 0/5 frames"},
        LineCase{"WithinTheFirstFrame", {0, 3, 5000, 1.5, 0.0}, 60,
                 "[................] 0/3 frames, 5000 triangles in this frame"},
        LineCase{"HalfwayThroughAFrame", {1, 3, 500, 2.0, 0.5}, 80,
                 "[#########.........] 1/3 frames, 500 triangles in this frame, 0.5 fps, 2 s left"},
        LineCase{"NarrowBarFirst", {30, 120, 0, 2.0, 0.0}, 45, "[##.......]  30/120 frames, 15 fps, 6 s left"},
        LineCase{"NarrowerDetailsGo", {30, 120, 0, 2.0, 0.0}, 30, "[###.........]  30/120 frames"},
        LineCase{"TinyTerminal", {30, 120, 0, 2.0, 0.0}, 12, " 30/120 fra"}),
    [](const testing::TestParamInfo<LineCase>& testCase) { return std::string(testCase.param.name); });

struct FakeTerminal {
    double now = 100.0;
    int32_t columns = 80;
    ProgressBar::Clock clock() {
        return [this] { return now; };
    }
    ProgressBar::Columns width() {
        return [this] { return columns; };
    }
};

TEST(ProgressBar, StaysQuietDuringTheFirstSecond) {
    std::ostringstream out;
    FakeTerminal terminal;
    ProgressBar bar(out, true, 10, terminal.clock(), terminal.width());
    terminal.now += 0.9;
    bar.update(5);
    bar.finish();
    EXPECT_EQ(out.str(), "");
}

TEST(ProgressBar, DrawsWithinTheFirstFrameOnceASecondHasPassed) {
    std::ostringstream out;
    FakeTerminal terminal;
    ProgressBar bar(out, true, 2, terminal.clock(), terminal.width());
    terminal.now += 1.5;
    for (int k = 0; k < ProgressBar::kTrianglesPerLook - 1; ++k) bar.triangleDrawn();
    EXPECT_EQ(out.str(), "") << "the clock is read once per batch of triangles";
    bar.triangleDrawn();
    EXPECT_NE(out.str().find("0/2 frames, 256 triangles in this frame"), std::string::npos) << out.str();
}

TEST(ProgressBar, RedrawsAtMostTenTimesASecondAndErasesAtTheEnd) {
    std::ostringstream out;
    FakeTerminal terminal;
    {
        ProgressBar bar(out, true, 10, terminal.clock(), terminal.width());
        terminal.now += 1.5;
        bar.update(5);
        ProgressState state{5, 10, 0, 1.5, 0.0};
        EXPECT_EQ(out.str(), "\r" + frontend::progressLine(state, 80) + "\033[K");
        terminal.now += 0.01;
        bar.update(6);
        EXPECT_EQ(out.str().find("6/10"), std::string::npos) << "redrawn at most ten times a second";
        terminal.now += 0.2;
        bar.update(7);
        EXPECT_NE(out.str().find(" 7/10"), std::string::npos);
    }
    const std::string text = out.str();
    EXPECT_EQ(text.substr(text.size() - 4), "\r\033[K") << "the destructor erases the bar";
}

TEST(ProgressBar, FollowsTheTerminalWidth) {
    std::ostringstream out;
    FakeTerminal terminal;
    ProgressBar bar(out, true, 10, terminal.clock(), terminal.width());
    terminal.now += 1.5;
    bar.update(1);
    terminal.columns = 30;
    terminal.now += 0.2;
    out.str("");
    bar.update(2);
    const std::string line = out.str();
    EXPECT_LE(line.size(), std::string("\r").size() + 29 + std::string("\033[K").size()) << line;
    EXPECT_NE(line.find(" 2/10 frames"), std::string::npos) << line;
}

TEST(ProgressBar, DisabledPrintsNothingHoweverLong) {
    std::ostringstream out;
    FakeTerminal terminal;
    ProgressBar bar(out, false, 10, terminal.clock(), terminal.width());
    terminal.now += 60.0;
    for (int k = 0; k < 1000; ++k) bar.triangleDrawn();
    bar.update(10);
    bar.finish();
    EXPECT_EQ(out.str(), "");
}

}  // namespace
