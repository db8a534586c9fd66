// The editor panel replaces code strings on its own thread while the renderer
// may be compiling from them. Run under ThreadSanitizer (and AddressSanitizer),
// any unguarded access or use of a released string is reported.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "standin/standin_host.h"
#include "support/effect_fixture.h"
#include "support/fake_host.h"
#include "support/process_state.h"

using effect::Section;
using effect::TriangleEffect;

namespace {

class CodeReplacementStress : public ProcessStateTest {};

TEST_F(CodeReplacementStress, PanelEditsRaceWithRecompilesSafely) {
    FakeHost host;
    EffectPtr effect = makeEffect();
    uint32_t pixels[16] = {};
    std::atomic<bool> done{false};

    std::thread panel([&] {
        const Section sections[] = {Section::Init, Section::Frame, Section::Beat, Section::Triangle};
        std::string text;
        for (int k = 0; !done.load(); ++k) {
            text.assign(static_cast<size_t>(k % 97), static_cast<char>('a' + k % 26));
            effect->replaceSection(sections[k % 4], text.c_str());
            // Now and then a reset races with the renderer advancing the counter.
            if (k % 4096 == 0 && k < 20 * 4096) effect->restartRecompileCounter();
        }
    });

    // Restarting the counter every 21 frames keeps a recompile due roughly
    // every 21 frames, each reading strings the panel is replacing.
    const int kFrames = 4200;
    for (int frame = 0; frame < kFrames; ++frame) {
        if (frame % 21 == 20) effect->restartRecompileCounter();
        effect->renderFrame(nullptr, frame & 1, pixels, nullptr, 4, 4);
        std::vector<unsigned char> block(1024);
        ASSERT_GE(effect->saveConfig(block.data()), 4);
    }
    done.store(true);
    panel.join();

    int compiles = 0;
    for (const std::string& call : host.calls) compiles += call.rfind("compile:", 0) == 0;
    EXPECT_GE(compiles, 4 * 50) << "recompiles must have overlapped the edits";
    EXPECT_EQ(compiles % 4, 0) << "all four sections are compiled together";

    // After the panel stops, the sections settle: the counter comes to rest.
    for (int frame = 0; frame < 21; ++frame) effect->renderFrame(nullptr, 0, pixels, nullptr, 4, 4);
    EXPECT_EQ(effect->recompileCounter(), 21);
}

// Real work on both sides: the stand-in host's engine compiles and runs the
// scripts, the renderer fills a frame, and the panel thread edits sections,
// loads and saves presets the whole time. Once the panel stops, its last
// edits are what the effect draws.
struct StressPreset {
    const char* init;
    const char* frame;
    const char* beat;
    const char* triangle;
};

const StressPreset kStressPresets[] = {
    {"t = 0", "t = t + 1; n = 40 + t % 7; zbuf = t % 50 > 25; zbclear = 1", "t = t + 3",
     "x1 = i * 2 - 1; y1 = -1 + (t % 9) * 0.1; x2 = x1 + 0.5; y2 = 1; x3 = -x1; y3 = y1 + 0.7;\r\n"
     "red1 = i; green1 = 1 - i; blue1 = 0.5; z1 = i * 4"},
    {"k = 2", "n = 30; k = k + 0.5", "k = 0",
     "x1 = sin(i * 6 + k) ; y1 = cos(i * 6 + k); x2 = x1 * 0.2; y2 = y1 * 0.2; x3 = 0; y3 = 0;\r\n"
     "red1 = 1; green1 = i; blue1 = 0; skip = i > 0.9"},
    {"", "n = 25; zbuf = 1; zbclear = 1", "",
     "x1 = i * 2 - 1; y1 = -1; x2 = 1 - i * 2; y2 = 1; x3 = 0; y3 = i; red1 = 0.2; green1 = 0.4; blue1 = i; z1 = i"},
};
// What the panel leaves in place when it stops: no state carried between
// frames, so one frame shows which texts were compiled.
const StressPreset kFinalPreset = {"", "n = 12; zbuf = 0; zbclear = 0", "",
                                   "x1 = i * 2 - 1; y1 = -0.8; x2 = x1 + 0.3; y2 = 0.9; x3 = -0.2; y3 = i;\r\n"
                                   "red1 = i; green1 = 0.5; blue1 = 1 - i"};

void editAsThePanelDoes(TriangleEffect& effect, Section section, const char* text) {
    effect.acceptEdit(section, TriangleEffect::newCodeString(text, std::strlen(text)));
}

void editAll(TriangleEffect& effect, const StressPreset& preset) {
    editAsThePanelDoes(effect, Section::Init, preset.init);
    editAsThePanelDoes(effect, Section::Frame, preset.frame);
    editAsThePanelDoes(effect, Section::Beat, preset.beat);
    editAsThePanelDoes(effect, Section::Triangle, preset.triangle);
}

std::vector<uint32_t> renderOnce(TriangleEffect& effect, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0x00102030u);
    effect.renderFrame(nullptr, 0, pixels.data(), nullptr, width, height);
    return pixels;
}

TEST_F(CodeReplacementStress, RealEditsRaceWithRealRendersAndTheLastEditsWin) {
    host::setServices(standin_services());
    standin_set_blend_mode_word(1);
    constexpr int kWidth = 64;
    constexpr int kHeight = 48;
    constexpr int kFrames = 2000;
    constexpr int kLeastEdits = 1000;
    {
        EffectPtr effect = makeEffect();
        const StressPreset& first = kStressPresets[0];
        loadBlock(*effect, presetBlock(first.init, first.frame, first.beat, first.triangle));
        std::atomic<bool> rendering{true};
        std::atomic<int> edits{0};

        std::thread panel([&] {
            std::vector<unsigned char> block(4096);
            for (int k = 0; rendering.load(); ++k) {
                const StressPreset& preset = kStressPresets[k % 3];
                switch (k % 5) {
                    case 0: loadBlock(*effect, presetBlock(preset.init, preset.frame, preset.beat, preset.triangle)); break;
                    case 1: EXPECT_GE(effect->saveConfig(block.data()), 4); break;
                    case 2: editAsThePanelDoes(*effect, Section::Frame, preset.frame); break;
                    case 3: editAsThePanelDoes(*effect, Section::Triangle, preset.triangle); break;
                    default: editAll(*effect, preset); break;
                }
                edits.fetch_add(1);
                std::this_thread::yield();
            }
            editAll(*effect, kFinalPreset);
        });

        std::vector<uint32_t> pixels(kWidth * kHeight);
        // At least so many frames, and on until the panel has made a good
        // number of edits however the threads were scheduled.
        for (int frame = 0; frame < kFrames || edits.load() < kLeastEdits; ++frame) {
            // A recompilation every 21 frames, each copying texts the panel is replacing.
            if (frame % 21 == 20) effect->restartRecompileCounter();
            standin_set_blend_mode_word(static_cast<uint32_t>(frame % 10));
            effect->renderFrame(nullptr, frame % 4 == 0, pixels.data(), nullptr, kWidth, kHeight);
        }
        rendering.store(false);
        panel.join();

        standin_set_blend_mode_word(1);
        for (int frame = 0; frame <= TriangleEffect::kCounterRest; ++frame) renderOnce(*effect, kWidth, kHeight);
        EffectPtr fresh = makeEffect();
        loadBlock(*fresh, presetBlock(kFinalPreset.init, kFinalPreset.frame, kFinalPreset.beat, kFinalPreset.triangle));
        EXPECT_EQ(renderOnce(*effect, kWidth, kHeight), renderOnce(*fresh, kWidth, kHeight))
            << "the effect draws the panel's last texts";
    }
    EXPECT_EQ(standin_live_codes(), 0);
}

}  // namespace
