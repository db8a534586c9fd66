#include "live/live_app.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "frontend/input_files.h"
#include "frontend/signal_cleanup.h"
#include "frontend/temporary_file.h"
#include "frontend/version.h"
#include "live/key_actions.h"
#include "live/live_engine.h"
#include "live/live_options.h"
#include "live/overlay.h"
#include "live/preset_watcher.h"
#include "live/render_thread.h"
#include "live/screenshot.h"
#include "live/sdl_audio.h"
#include "live/sdl_window.h"

namespace live {

namespace {

constexpr const char* kProgram = "triangle-live: ";
// The window looks for keys and new frames this often.
constexpr int kPollMilliseconds = 5;
// Frames are shown at most this often, whatever rate they are drawn at.
constexpr auto kShowInterval = std::chrono::microseconds(1000000 / 60);
// A frame taking longer than this gets its running time in the overlay.
constexpr double kSlowFrameSeconds = 0.5;
constexpr auto kSlowFrameTick = std::chrono::milliseconds(200);
// How long a quit waits for the frame being drawn before leaving it.
constexpr double kQuitWaitSeconds = 1.0;

int fail(std::ostream& err, const std::string& message) {
    err << kProgram << message << '\n';
    return kExitBadInput;
}

// Lines from the render thread and the window thread, whole.
class Console {
public:
    Console(std::ostream& stream, const char* prefix) : stream_(stream), prefix_(prefix) {}
    void say(const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex_);
        stream_ << prefix_ << line << std::endl;
    }

private:
    std::ostream& stream_;
    const char* prefix_;
    std::mutex mutex_;
};

// What the window keeps of the last snapshot for the overlay.
FrameSnapshot statusOf(const FrameSnapshot& snapshot) {
    FrameSnapshot status;
    status.facts = snapshot.facts;
    status.blendModeWord = snapshot.blendModeWord;
    status.paused = snapshot.paused;
    status.framesPerSecond = snapshot.framesPerSecond;
    status.diagnostics = snapshot.diagnostics;
    status.serial = snapshot.serial;
    return status;
}

bool readPresets(const LiveOptions& options, std::vector<previewer::PresetFile>& presets, Console& console,
                 std::string& error) {
    presets.resize(options.render.presets.size());
    for (size_t k = 0; k < presets.size(); ++k) {
        if (!previewer::readPresetFile(options.render.presets[k], presets[k], error)) return false;
        for (const std::string& warning : presets[k].warnings) console.say(presets[k].path + ": warning: " + warning);
    }
    return true;
}

// The song through the speakers, or the recording device; without a device
// the picture goes on in silence.
std::unique_ptr<SdlSound> openSound(const LiveOptions& options, LiveEngine& engine, Console& console) {
    HeardMusic* music = engine.heardMusic();
    if (music == nullptr) return nullptr;
    std::string error;
    std::unique_ptr<SdlSound> sound =
        options.input
            ? SdlSound::record(
                  options.inputDevice, audio::kAnalysisRate,
                  [music](float* samples, int frames) { music->heard(samples, frames); }, error)
            : SdlSound::play(
                  audio::kAnalysisRate, [music](float* samples, int frames) { music->play(samples, frames); }, error);
    if (!sound) {
        console.say("warning: " + error + "; playing in silence");
        return nullptr;
    }
    engine.soundDeviceAttached();
    return sound;
}

// Plays until the window closes, Q is pressed or --frames have been drawn.
void play(SdlWindow& window, RenderThread& renderer) {
    OverlayChoice choice;
    FrameSnapshot status;
    uint64_t seen = 0;
    bool overlayStale = true;
    auto lastShown = std::chrono::steady_clock::now() - kShowInterval;
    auto lastTicked = lastShown;
    for (;;) {
        const WindowEvents events = window.poll(kPollMilliseconds);
        bool redraw = events.redraw;
        if (events.closed) return;
        for (const KeyPress& press : events.keys) {
            const KeyAction key = actionFor(press);
            switch (key.action) {
                case Action::None:
                    break;
                case Action::Quit:
                    return;
                case Action::TogglePause:
                    renderer.send(Command::TogglePause);
                    break;
                case Action::Step:
                    renderer.send(Command::Step);
                    break;
                case Action::Beat:
                    renderer.send(Command::Beat);
                    break;
                case Action::BlendMode:
                    renderer.send(Command::BlendMode, key.value);
                    break;
                case Action::Clear:
                    renderer.send(Command::Clear);
                    break;
                case Action::Restart:
                    renderer.send(Command::Restart);
                    break;
                case Action::Screenshot:
                    renderer.send(Command::Screenshot);
                    break;
                case Action::Record:
                    renderer.send(Command::Record);
                    break;
                case Action::Help:
                    choice.help = !choice.help;
                    overlayStale = true;
                    break;
                case Action::Overlay:
                    choice.status = !choice.status;
                    overlayStale = true;
                    break;
                case Action::Fullscreen:
                    window.toggleFullscreen();
                    overlayStale = true;
                    break;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - lastShown >= kShowInterval && renderer.withNewFrame(seen, [&](const FrameSnapshot& snapshot) {
                window.showFrame(snapshot.image.pixels.data());
                status = statusOf(snapshot);
            })) {
            overlayStale = true;
            lastShown = now;
        }
        // A slow frame: the overlay counts the time it has taken so far.
        if (choice.status && now - lastTicked >= kSlowFrameTick) {
            lastTicked = now;
            const double drawing = renderer.drawingFor();
            status.drawingSeconds = drawing >= kSlowFrameSeconds ? drawing : 0.0;
            overlayStale = overlayStale || status.drawingSeconds > 0;
        }
        if (overlayStale) {
            int32_t width = 0, height = 0;
            window.size(width, height);
            const previewer::Image panel = drawOverlay(status, choice, width);
            window.showOverlay(panel.pixels.data(), panel.width, panel.height);
            overlayStale = false;
            redraw = true;
        }
        if (redraw) window.present();
        if (renderer.done()) return;
    }
}

}  // namespace

int runLive(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedLiveCommandLine parsed = parseLiveCommandLine(args);
    switch (parsed.outcome) {
        case ParsedLiveCommandLine::Outcome::Help:
            out << liveUsageText();
            return kExitDone;
        case ParsedLiveCommandLine::Outcome::Version:
            out << "triangle-live " << frontend::kVersion << '\n';
            return kExitDone;
        case ParsedLiveCommandLine::Outcome::Error:
            return fail(err, parsed.error);
        case ParsedLiveCommandLine::Outcome::Run:
            break;
    }
    const LiveOptions& options = parsed.options;
    Console console(err, kProgram);
    Console told(out, "");
    std::string error;

    const std::string& log = options.render.logFramesFile;
    if (!log.empty()) {
        frontend::InputFiles inputs;
        for (const std::string& preset : options.render.presets) inputs.add(preset);
        if (!frontend::checkOutputPath(log, error) || !inputs.checkOutput("--log-frames", log, error))
            return fail(err, error);
    }
    std::vector<previewer::PresetFile> presets;
    if (!readPresets(options, presets, console, error)) return fail(err, error);

    std::unique_ptr<SdlWindow> window =
        SdlWindow::open("triangle-live", options.render.width, options.render.height, error);
    if (!window) return fail(err, error);

    std::unique_ptr<PresetWatcher> watcher = PresetWatcher::watch(options.render.presets, error);
    if (!watcher) console.say("warning: " + error + "; changes to the presets will not be seen");

    std::unique_ptr<LiveEngine> engine = LiveEngine::start(
        options, std::move(presets), [&console](const std::string& line) { console.say(line); }, error);
    if (!engine) return fail(err, error);
    std::unique_ptr<SdlSound> sound = openSound(options, *engine, console);

    const RenderThread::ScreenshotTaker screenshot = [&](const previewer::Image& frame, int32_t number) {
        std::string reason;
        const std::string name = saveScreenshot(frame, number, reason);
        if (name.empty()) {
            console.say("screenshot: " + reason);
        } else {
            told.say("screenshot " + name + " (frame " + std::to_string(number) + ")");
        }
    };
    const auto begin = std::chrono::steady_clock::now();
    auto renderer = std::make_unique<RenderThread>(*engine, watcher.get(), options, screenshot,
                                                   [&told](const std::string& line) { told.say(line); });
    play(*window, *renderer);
    if (renderer->done()) {
        // A run of --frames says how fast it went (docs/benchmarks.md).
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        char line[96];
        std::snprintf(line, sizeof line, "%d frames in %.2f s: %.1f frames a second", options.render.frames, seconds,
                      options.render.frames / seconds);
        told.say(line);
    }
    if (!renderer->stop(kQuitWaitSeconds)) {
        // A frame of a slow script is still being drawn: the process ends
        // without waiting for it. Screenshots are whole and the frame log is
        // flushed per frame; a recording under way is removed, never left
        // half written.
        frontend::removeTemporariesNow();
        out.flush();
        err.flush();
        std::_Exit(kExitDone);
    }
    renderer.reset();
    sound.reset();  // its callback reaches into the engine's music
    engine.reset();
    return kExitDone;
}

}  // namespace live
