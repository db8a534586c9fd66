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
            effect->restartRecompileCounter();
        }
    });

    // Every 21st frame without an edit would recompile; force plenty of
    // recompiles by rendering far more frames than the panel can postpone.
    int compiles = 0;
    for (int frame = 0; frame < 4000; ++frame) {
        if (frame % 25 == 0) {
            // Let the counter run out now and then: the panel thread keeps
            // resetting it, so recompiles happen whenever it lags behind.
            std::this_thread::yield();
        }
        effect->renderFrame(nullptr, frame & 1, pixels, nullptr, 4, 4);
        std::vector<unsigned char> block(1024);
        ASSERT_GE(effect->saveConfig(block.data()), 4);
    }
    done.store(true);
    panel.join();
    for (const std::string& call : host.calls) compiles += call.rfind("compile:", 0) == 0;

    // After the panel stops, the last edit is compiled on the 21st frame.
    for (int frame = 0; frame < 21; ++frame) effect->renderFrame(nullptr, 0, pixels, nullptr, 4, 4);
    EXPECT_EQ(effect->recompileCounter(), 21);
    EXPECT_GE(compiles, 4);
}

}  // namespace
