// The progress bar: silent for quick renders and off a terminal, then one
// rewritten line that is erased at the end.
#include <gtest/gtest.h>

#include <sstream>

#include "previewer/progress_bar.h"

namespace {

using previewer::ProgressBar;

struct FakeClock {
    double now = 100.0;
    ProgressBar::Clock clock() {
        return [this] { return now; };
    }
};

TEST(ProgressLine, ShowsBarCountAndTimeLeft) {
    EXPECT_EQ(previewer::progressLine(30, 120, 2.0, 8), "[##......]  30/120 frames, 6 s left");
    EXPECT_EQ(previewer::progressLine(120, 120, 8.0, 8), "[########] 120/120 frames");
    EXPECT_EQ(previewer::progressLine(0, 5, 0.0, 4), "[....] 0/5 frames");
}

TEST(ProgressBar, StaysQuietDuringTheFirstSecond) {
    std::ostringstream out;
    FakeClock time;
    ProgressBar bar(out, true, 10, time.clock());
    time.now += 0.9;
    bar.update(5);
    bar.finish();
    EXPECT_EQ(out.str(), "");
}

TEST(ProgressBar, DrawsAfterASecondAndErasesAtTheEnd) {
    std::ostringstream out;
    FakeClock time;
    {
        ProgressBar bar(out, true, 10, time.clock());
        time.now += 1.5;
        bar.update(5);
        EXPECT_EQ(out.str(), "\r" + previewer::progressLine(5, 10, 1.5, 30) + "\033[K");
        time.now += 0.01;
        bar.update(6);
        EXPECT_EQ(out.str().find("6/10"), std::string::npos) << "redrawn at most ten times a second";
        time.now += 0.2;
        bar.update(7);
        EXPECT_NE(out.str().find(" 7/10"), std::string::npos);
    }
    const std::string text = out.str();
    EXPECT_EQ(text.substr(text.size() - 4), "\r\033[K") << "the destructor erases the bar";
}

TEST(ProgressBar, DisabledPrintsNothingHoweverLong) {
    std::ostringstream out;
    FakeClock time;
    ProgressBar bar(out, false, 10, time.clock());
    time.now += 60.0;
    bar.update(10);
    bar.finish();
    EXPECT_EQ(out.str(), "");
}

}  // namespace
