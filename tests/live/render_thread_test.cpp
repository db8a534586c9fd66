// The render thread without a window: commands act in the order sent,
// between frames, and the window's side sees every change through the
// snapshot (ThreadSanitizer runs this one).
#include "live/render_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "scratch_dir.h"
#include "support/process_state.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Taken {
    std::mutex mutex;
    std::vector<int32_t> frames;
    std::vector<uint32_t> firstPixels;
};

// Polls the snapshot until `ready` holds; false after a generous wait.
bool waitFor(live::RenderThread& thread, const std::function<bool(const live::FrameSnapshot&)>& ready) {
    uint64_t seen = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        bool done = false;
        thread.withNewFrame(seen, [&](const live::FrameSnapshot& snapshot) { done = ready(snapshot); });
        if (done) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

// The engine makes effects through the stand-in host.
class RenderThread : public ProcessStateTest {};

TEST_F(RenderThread, CommandsActInTurnBetweenFrames) {
    ScratchDir dir;
    dir.write("p.preset", "[frame]\nn = 1\n[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1\n");
    live::LiveOptions options;
    options.render.width = 16;
    options.render.height = 8;
    options.render.fill = 0x00102030u;
    options.render.presets = {dir.file("p.preset")};
    options.startPaused = true;
    std::vector<previewer::PresetFile> presets(1);
    std::string error;
    ASSERT_TRUE(previewer::readPresetFile(options.render.presets[0], presets[0], error)) << error;
    auto engine = live::LiveEngine::start(
        options, presets, [](const std::string&) {}, error);
    ASSERT_TRUE(engine) << error;

    Taken taken;
    live::RenderThread thread(
        *engine, nullptr, options,
        [&taken](const previewer::Image& frame, int32_t number) {
            std::lock_guard<std::mutex> lock(taken.mutex);
            taken.frames.push_back(number);
            taken.firstPixels.push_back(frame.at(15, 7));
        },
        [](const std::string&) {});
    // Paused from the start: frame 0, then steps; the screenshots come after
    // the steps sent before them.
    thread.send(live::Command::Step);
    thread.send(live::Command::Step);
    thread.send(live::Command::Screenshot);
    thread.send(live::Command::Clear);
    thread.send(live::Command::Screenshot);
    EXPECT_TRUE(waitFor(thread, [](const live::FrameSnapshot& s) { return s.facts.number == 2 && s.paused; }));
    for (const auto deadline = Clock::now() + std::chrono::seconds(60); Clock::now() < deadline;) {
        {
            std::lock_guard<std::mutex> lock(taken.mutex);
            if (taken.frames.size() >= 2) break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    {
        std::lock_guard<std::mutex> lock(taken.mutex);
        EXPECT_EQ(taken.frames, (std::vector<int32_t>{2, 2}));
        ASSERT_EQ(taken.firstPixels.size(), 2u);
        EXPECT_EQ(taken.firstPixels[1], 0x00102030u) << "cleared to the fill word";
    }

    thread.send(live::Command::BlendMode, 1);
    thread.send(live::Command::TogglePause);
    EXPECT_TRUE(waitFor(thread, [](const live::FrameSnapshot& s) {
        return s.facts.number >= 10 && !s.paused && s.blendModeWord == 1u && s.image.width == 16;
    }));
    thread.send(live::Command::TogglePause);
    thread.send(live::Command::Restart);
    EXPECT_TRUE(waitFor(thread, [](const live::FrameSnapshot& s) { return s.paused && s.facts.number == 0; }));
    EXPECT_TRUE(thread.stop(60));
}

}  // namespace
