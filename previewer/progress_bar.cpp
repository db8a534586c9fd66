#include "previewer/progress_bar.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace previewer {

std::string progressLine(int32_t done, int32_t total, double elapsedSeconds, int32_t barWidth) {
    const double fraction = total > 0 ? static_cast<double>(done) / total : 1.0;
    const int32_t filled = static_cast<int32_t>(fraction * barWidth);
    std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(barWidth - filled), '.') + "] ";
    const std::string totalText = std::to_string(total);
    const std::string doneText = std::to_string(done);
    line += std::string(totalText.size() - std::min(totalText.size(), doneText.size()), ' ') + doneText + "/" +
            totalText + " frames";
    if (done > 0 && done < total) {
        const double left = elapsedSeconds * (total - done) / done;
        char text[48];
        std::snprintf(text, sizeof text, ", %.0f s left", std::ceil(left));
        line += text;
    }
    return line;
}

ProgressBar::ProgressBar(std::ostream& out, bool enabled, int32_t total, Clock clock)
    : out_(out), enabled_(enabled), total_(total), clock_(std::move(clock)), start_(enabled ? clock_() : 0.0) {}

void ProgressBar::update(int32_t done) {
    if (!enabled_) return;
    const double now = clock_();
    const double elapsed = now - start_;
    if (elapsed < kQuietSeconds) return;
    if (drawn_ && now - lastDrawn_ < kRedrawSeconds && done < total_) return;
    // "\033[K" clears what a longer earlier line left behind.
    out_ << '\r' << progressLine(done, total_, elapsed, 30) << "\033[K" << std::flush;
    drawn_ = true;
    lastDrawn_ = now;
}

void ProgressBar::finish() {
    if (!drawn_) return;
    out_ << "\r\033[K" << std::flush;
    drawn_ = false;
}

ProgressBar::Clock ProgressBar::steadyClock() {
    return [] {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    };
}

}  // namespace previewer
