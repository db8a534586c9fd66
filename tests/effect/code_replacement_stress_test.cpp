// The editor panel replaces code strings on its own thread while the renderer
// may be compiling from them. Run under ThreadSanitizer (and AddressSanitizer),
// any unguarded access or use of a released string is reported.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/effect_fixture.h"
#include "support/fake_host.h"

namespace {

TEST(CodeReplacementStress, PanelEditsRaceWithRecompilesSafely) {
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

}  // namespace
