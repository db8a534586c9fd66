// A one-line progress bar on stderr for renders that take a while. It stays
// silent for the first second, so quick renders print nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace previewer {

// "[#####.....]  60/120 frames" followed by an estimate of the time left.
std::string progressLine(int32_t done, int32_t total, double elapsedSeconds, int32_t barWidth);

class ProgressBar {
public:
    using Clock = std::function<double()>;  // seconds, monotonic

    static constexpr double kQuietSeconds = 1.0;
    static constexpr double kRedrawSeconds = 0.1;

    ProgressBar(std::ostream& out, bool enabled, int32_t total, Clock clock);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    ~ProgressBar() { finish(); }

    void update(int32_t done);
    // Erases the bar, if one was drawn, so later messages start on a clean line.
    void finish();

    // A monotonic clock in seconds.
    static Clock steadyClock();

private:
    std::ostream& out_;
    bool enabled_;
    int32_t total_;
    Clock clock_;
    double start_;
    double lastDrawn_ = -1.0;
    bool drawn_ = false;
};

}  // namespace previewer
