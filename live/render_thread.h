// Draws the frames on a thread of its own, so that the window keeps
// answering while a slow script works; the window reads the last finished
// frame from here.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "live/live_engine.h"
#include "live/preset_watcher.h"
#include "live/recording.h"
#include "previewer/image.h"

namespace live {

enum class Command { TogglePause, Step, Beat, Clear, Restart, BlendMode, Screenshot, Record };

// The last finished frame and what the overlay tells about it.
struct FrameSnapshot {
    previewer::Image image;
    FrameFacts facts;
    uint32_t blendModeWord = 0;
    bool paused = false;
    double framesPerSecond = 0;  // frames finished per second, lately
    double drawingSeconds = 0;   // how long the frame in progress has taken (set by the window)
    std::vector<std::string> diagnostics;
    uint64_t serial = 0;  // grows with every change
};

class RenderThread {
public:
    // Given the frame buffer and its number on Command::Screenshot, in turn
    // with the other commands (a step before it is drawn first).
    using ScreenshotTaker = std::function<void(const previewer::Image& frame, int32_t number)>;

    // A line for the user (stdout): recordings started and finished.
    using Tell = std::function<void(const std::string& line)>;

    // `watcher` may be null. Starts drawing at once.
    RenderThread(LiveEngine& engine, PresetWatcher* watcher, const LiveOptions& options, ScreenshotTaker screenshot,
                 Tell tell);
    // Stops and joins.
    ~RenderThread();
    RenderThread(const RenderThread&) = delete;
    RenderThread& operator=(const RenderThread&) = delete;

    void send(Command command, int value = 0);
    // Runs `use` on the snapshot, under the lock, when its serial differs
    // from `seen` (which is then updated); false when there was nothing new.
    bool withNewFrame(uint64_t& seen, const std::function<void(const FrameSnapshot&)>& use);
    // How long the frame being drawn has taken so far; 0 between frames.
    double drawingFor();
    // True once --frames frames have been drawn.
    bool done();
    // Asks the thread to end after its current frame; true when it has ended
    // within `waitSeconds` (a slow frame may take longer).
    bool stop(double waitSeconds);

private:
    void run();
    // Returns whether the frame buffer changed.
    bool apply(Command command, int value, bool& paused);
    void drawFrame(bool paused);
    void publish(bool paused);
    // Copies the frame buffer into the snapshot when the window has taken
    // the last one and a newer frame was left out.
    void refreshImage();
    void toggleRecording();
    // Completes the recording (or removes it when it holds no frame).
    void endRecording();

    LiveEngine& engine_;
    PresetWatcher* watcher_;
    LiveOptions options_;
    ScreenshotTaker screenshot_;
    Tell tell_;
    std::unique_ptr<Recording> recording_;
    int32_t drawn_ = 0;
    double rate_ = 0;
    std::chrono::steady_clock::time_point lastFinish_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable ended_;
    std::deque<std::pair<Command, int>> commands_;
    bool stopping_ = false;
    bool finished_ = false;
    bool done_ = false;
    FrameSnapshot snapshot_;
    bool drawing_ = false;
    std::chrono::steady_clock::time_point drawingSince_;
    bool imageTaken_ = true;   // the window has had snapshot_.image
    bool imageStale_ = false;  // snapshot_.image is older than its facts
    std::thread thread_;
};

}  // namespace live
