#include "frontend/progress_bar.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace frontend {

namespace {

constexpr int32_t kLongestBar = 30;
constexpr int32_t kShortestBar = 5;

std::string padded(const std::string& text, size_t width) {
    return std::string(width - std::min(width, text.size()), ' ') + text;
}

}  // namespace

std::string progressLine(const ProgressState& state, int32_t columns) {
    const std::string totalText = std::to_string(state.totalFrames);
    std::vector<std::string> parts;
    parts.push_back(padded(std::to_string(state.framesDone), totalText.size()) + "/" + totalText + " frames");
    if (state.trianglesInFrame > 0) parts.push_back(std::to_string(state.trianglesInFrame) + " triangles in this frame");
    const double done = state.framesDone + std::min(state.fractionOfFrame, 0.99);
    if (state.framesDone > 0 && state.elapsedSeconds > 0.0) {
        char text[32];
        const double fps = state.framesDone / state.elapsedSeconds;
        std::snprintf(text, sizeof text, fps < 10.0 ? "%.1f fps" : "%.0f fps", fps);
        parts.push_back(text);
    }
    if (done > 0.0 && state.framesDone < state.totalFrames) {
        const double left = state.elapsedSeconds * (state.totalFrames - done) / done;
        char text[32];
        std::snprintf(text, sizeof text, "%.0f s left", std::ceil(left));
        parts.push_back(text);
    }

    // The cursor must not reach the last column, or the terminal wraps.
    const int32_t room = std::max(columns - 1, 1);
    while (true) {
        std::string details;
        for (const std::string& part : parts) details += (details.empty() ? "" : ", ") + part;
        const int32_t barRoom = room - static_cast<int32_t>(details.size()) - 3;
        if (barRoom >= kShortestBar || parts.size() == 1) {
            if (barRoom < kShortestBar) return details.substr(0, static_cast<size_t>(room));
            const int32_t width = std::min(barRoom, kLongestBar);
            const double fraction = state.totalFrames > 0 ? done / state.totalFrames : 1.0;
            const int32_t filled = std::min(width, static_cast<int32_t>(fraction * width));
            return "[" + std::string(static_cast<size_t>(filled), '#') +
                   std::string(static_cast<size_t>(width - filled), '.') + "] " + details;
        }
        parts.pop_back();
    }
}

ProgressBar::ProgressBar(std::ostream& out, bool enabled, int32_t totalFrames, Clock clock, Columns columns)
    : out_(out),
      enabled_(enabled),
      clock_(std::move(clock)),
      columns_(std::move(columns)),
      start_(enabled ? clock_() : 0.0) {
    state_.totalFrames = totalFrames;
}

void ProgressBar::update(int32_t done) {
    if (!enabled_) return;
    if (state_.trianglesInFrame > 0) trianglesInLastFrame_ = state_.trianglesInFrame;
    state_.framesDone = done;
    state_.trianglesInFrame = 0;
    state_.fractionOfFrame = 0.0;
    draw(done >= state_.totalFrames);
}

void ProgressBar::triangleDrawn() {
    if (!enabled_) return;
    ++state_.trianglesInFrame;
    if (state_.trianglesInFrame % kTrianglesPerLook != 0) return;
    if (trianglesInLastFrame_ > 0)
        state_.fractionOfFrame = static_cast<double>(state_.trianglesInFrame) / trianglesInLastFrame_;
    draw(false);
}

void ProgressBar::draw(bool force) {
    const double now = clock_();
    state_.elapsedSeconds = now - start_;
    if (state_.elapsedSeconds < kQuietSeconds) return;
    if (drawn_ && now - lastDrawn_ < kRedrawSeconds && !force) return;
    // "\033[K" clears what a longer earlier line left behind.
    out_ << '\r' << progressLine(state_, columns_()) << "\033[K" << std::flush;
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

ProgressBar::Columns ProgressBar::terminalColumns(int fd) {
    return [fd] {
        winsize size {};
        if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return static_cast<int32_t>(size.ws_col);
        return int32_t{80};
    };
}

}  // namespace frontend
