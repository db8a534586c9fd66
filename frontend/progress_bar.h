// A one-line progress bar on stderr for renders that take a while. It stays
// silent for the first second, so quick renders print nothing, and then
// redraws at most ten times a second, also in the middle of a long frame.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace frontend {

struct ProgressState {
    int32_t framesDone = 0;
    int32_t totalFrames = 0;
    int64_t trianglesInFrame = 0;  // drawn so far in the frame under way
    double elapsedSeconds = 0.0;
    double fractionOfFrame = 0.0;  // estimated share of the frame under way, 0..1
};

// "[###.....]  30/120 frames, 12 fps, 6 s left", with the triangles of the
// frame under way when there are any, fitted to `columns` characters: the
// bar shrinks first, then details go from the end.
std::string progressLine(const ProgressState& state, int32_t columns);

class ProgressBar {
public:
    using Clock = std::function<double()>;  // seconds, monotonic
    using Columns = std::function<int32_t()>;

    static constexpr double kQuietSeconds = 1.0;
    static constexpr double kRedrawSeconds = 0.1;
    // Within a frame the clock is read once per this many triangles.
    static constexpr int64_t kTrianglesPerLook = 256;

    ProgressBar(std::ostream& out, bool enabled, int32_t totalFrames, Clock clock, Columns columns);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    ~ProgressBar() { finish(); }

    // `done` frames are complete.
    void update(int32_t done);
    // One more triangle of the frame under way.
    void triangleDrawn();
    // Erases the bar, if one was drawn, so later messages start on a clean line.
    void finish();

    // A monotonic clock in seconds.
    static Clock steadyClock();
    // The width of the terminal on `fd`, asked afresh each time so that a
    // resized window is followed; 80 when it cannot be told.
    static Columns terminalColumns(int fd);

private:
    void draw(bool force);

    std::ostream& out_;
    bool enabled_;
    Clock clock_;
    Columns columns_;
    double start_;
    ProgressState state_;
    int64_t trianglesInLastFrame_ = 0;
    double lastDrawn_ = -1.0;
    bool drawn_ = false;
};

}  // namespace frontend
