#include "live/render_thread.h"

#include <chrono>

namespace live {

namespace {

using Clock = std::chrono::steady_clock;
// How often a waiting render thread looks at the preset files.
constexpr auto kWatchInterval = std::chrono::milliseconds(50);
// The frame rate shown is an average over this many frames.
constexpr double kRateSmoothing = 0.1;

}  // namespace

RenderThread::RenderThread(LiveEngine& engine, PresetWatcher* watcher, const LiveOptions& options,
                           ScreenshotTaker screenshot, Tell tell)
    : engine_(engine),
      watcher_(watcher),
      options_(options),
      screenshot_(std::move(screenshot)),
      tell_(std::move(tell)) {
    thread_ = std::thread([this] { run(); });
}

RenderThread::~RenderThread() {
    stop(1e9);
    if (thread_.joinable()) thread_.join();
}

void RenderThread::send(Command command, int value) {
    std::lock_guard<std::mutex> lock(mutex_);
    commands_.emplace_back(command, value);
    wake_.notify_all();
}

bool RenderThread::withNewFrame(uint64_t& seen, const std::function<void(const FrameSnapshot&)>& use) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (snapshot_.serial == seen) return false;
    seen = snapshot_.serial;
    use(snapshot_);
    imageTaken_ = true;
    // The render thread brings the picture up to date between frames.
    if (imageStale_) wake_.notify_all();
    return true;
}

bool RenderThread::done() {
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

bool RenderThread::stop(double waitSeconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    stopping_ = true;
    wake_.notify_all();
    return ended_.wait_for(lock, std::chrono::duration<double>(waitSeconds), [this] { return finished_; });
}

bool RenderThread::apply(Command command, int value, bool& paused) {
    switch (command) {
        case Command::TogglePause:
            paused = !paused;
            return false;
        case Command::Step:
            if (!paused) return false;
            drawFrame(paused);
            return true;
        case Command::Beat:
            engine_.beatNow();
            return false;
        case Command::Clear:
            engine_.clearFrame();
            return true;
        case Command::Restart: {
            std::string error;
            if (!engine_.restart(error)) return false;  // out of memory: the old effects are gone too
            // Paused, frame 0 is drawn at once so that there is something to see.
            if (paused) drawFrame(paused);
            return true;
        }
        case Command::BlendMode:
            engine_.setBlendMode(value);
            return false;
        case Command::Screenshot:
            screenshot_(engine_.frame(), engine_.lastFrame().number);
            return false;
        case Command::Record:
            toggleRecording();
            return false;
    }
    return false;
}

void RenderThread::toggleRecording() {
    if (recording_) {
        endRecording();
        return;
    }
    std::string error;
    recording_ = Recording::start(options_, engine_.nextFrameNumber(), engine_.heardMusic(), error);
    if (recording_) {
        tell_("recording " + recording_->name());
    } else {
        tell_("cannot record: " + error);
    }
}

void RenderThread::endRecording() {
    std::unique_ptr<Recording> recording = std::move(recording_);
    if (!recording) return;
    std::string error;
    if (recording->frames() == 0) {
        tell_("nothing recorded (no frame was drawn): " + recording->name() + " not written");
    } else if (recording->finish(error)) {
        tell_("recorded " + recording->name() + " (" + std::to_string(recording->frames()) + " frames)");
    } else {
        tell_("recording failed: " + error);
    }
}

double RenderThread::drawingFor() {
    std::lock_guard<std::mutex> lock(mutex_);
    return drawing_ ? std::chrono::duration<double>(Clock::now() - drawingSince_).count() : 0.0;
}

void RenderThread::drawFrame(bool paused) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        drawing_ = true;
        drawingSince_ = Clock::now();
    }
    engine_.drawFrame();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        drawing_ = false;
    }
    if (recording_) {
        std::string error;
        if (!recording_->add(engine_.frame(), error)) {
            recording_.reset();  // removes what was written
            tell_("recording stopped: " + error);
        }
    }
    ++drawn_;
    const Clock::time_point finish = Clock::now();
    const double interval = std::chrono::duration<double>(finish - lastFinish_).count();
    lastFinish_ = finish;
    if (interval > 0) rate_ = rate_ == 0 ? 1 / interval : rate_ + kRateSmoothing * (1 / interval - rate_);
    publish(paused);
}

void RenderThread::publish(bool paused) {
    std::lock_guard<std::mutex> lock(mutex_);
    // The picture is copied only once the window has shown the last one: an
    // unpaced run draws faster than any screen shows.
    imageStale_ = !imageTaken_;
    if (imageTaken_) snapshot_.image = engine_.frame();
    imageTaken_ = false;
    snapshot_.facts = engine_.lastFrame();
    snapshot_.blendModeWord = engine_.blendModeWord();
    snapshot_.paused = paused;
    snapshot_.diagnostics = engine_.diagnostics();
    snapshot_.framesPerSecond = rate_;
    ++snapshot_.serial;
}

void RenderThread::refreshImage() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!imageStale_ || !imageTaken_) return;
    snapshot_.image = engine_.frame();
    imageTaken_ = false;
    imageStale_ = false;
    ++snapshot_.serial;
}

void RenderThread::run() {
    bool paused = options_.startPaused;
    Clock::time_point due = Clock::now();
    lastFinish_ = due;
    const auto frameInterval =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options_.render.fps));
    // Paused from the start, frame 0 is drawn and shown.
    engine_.setPaused(paused);
    if (paused) drawFrame(paused);
    publish(paused);

    for (;;) {
        std::deque<std::pair<Command, int>> commands;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (stopping_) break;
            commands.swap(commands_);
        }
        refreshImage();
        const bool wasPaused = paused;
        bool changed = false;
        for (const auto& [command, value] : commands) changed = apply(command, value, paused) || changed;
        changed = changed || wasPaused != paused;
        if (wasPaused != paused) engine_.setPaused(paused);
        if (wasPaused && !paused) due = Clock::now();
        if (watcher_ != nullptr) {
            for (size_t index : watcher_->changed()) {
                engine_.presetFileChanged(index);
                changed = true;
            }
        }

        const Clock::time_point now = Clock::now();
        if (paused || (!options_.unpaced && now < due)) {
            if (changed) publish(paused);
            std::unique_lock<std::mutex> lock(mutex_);
            const Clock::time_point until = paused ? now + kWatchInterval : std::min(due, now + kWatchInterval);
            wake_.wait_until(lock, until,
                             [this] { return stopping_ || !commands_.empty() || (imageStale_ && imageTaken_); });
            continue;
        }

        drawFrame(paused);
        // Frame k is due k / fps after the start; a slow frame moves the
        // schedule rather than making the frames after it rush.
        due += frameInterval;
        const Clock::time_point finish = Clock::now();
        if (due < finish) due = finish;
        if (options_.render.framesGiven && drawn_ >= options_.render.frames) {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
            break;
        }
    }
    endRecording();
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    ended_.notify_all();
}

}  // namespace live
