// Effects sharing the process-wide depth buffer, driven as the host drives them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/depth_buffer.h"
#include "support/process_state.h"
#include "support/effect_fixture.h"
#include "support/fake_host.h"

namespace {

constexpr int32_t kWidth = 40;
constexpr int32_t kHeight = 30;
constexpr uint32_t kBackground = 0x00101010u;

void setTriangle(FakeHost::Vars& v, double x1, double y1, double x2, double y2, double x3, double y3, double z1) {
    v["x1"] = x1;
    v["y1"] = y1;
    v["x2"] = x2;
    v["y2"] = y2;
    v["x3"] = x3;
    v["y3"] = y3;
    v["z1"] = z1;
}

// A big triangle covering the whole frame but its last column.
void coverFrame(FakeHost::Vars& v, double z1) { setTriangle(v, -1, -5, 5, 1, -5, 1, z1); }

class DepthSharingTest : public ProcessStateTest {
protected:
    DepthSharingTest() : pixels(static_cast<size_t>(kWidth) * kHeight, kBackground) {}

    EffectPtr effectWith(const std::string& frame, const std::string& triangle) {
        EffectPtr effect = makeEffect();
        loadBlock(*effect, presetBlock("", frame, "", triangle));
        return effect;
    }
    void render(effect::TriangleEffect& effect, int32_t width = kWidth, int32_t height = kHeight) {
        effect.renderFrame(nullptr, 0, pixels.data(), nullptr, width, height);
    }
    uint32_t at(int32_t row, int32_t column) const { return pixels[static_cast<size_t>(row) * kWidth + column]; }

    FakeHost host;
    std::vector<uint32_t> pixels;
};

TEST_F(DepthSharingTest, SecondEffectDrawsOnlyWhereItIsAtLeastAsDeepAsTheFirst) {
    // The first clears and draws the left half at z1 = 2; the second, not
    // clearing, covers everything at z1 = 1 in green.
    host.define("first frame", [](FakeHost::Vars& v) {
        v["n"] = 1;
        v["zbuf"] = 1;
        v["zbclear"] = 1;
    });
    host.define("first triangle", [](FakeHost::Vars& v) {
        setTriangle(v, -1, -3, 0, 3, -3, 3, 2.0);
        v["red1"] = 1;
        v["green1"] = 0;
        v["blue1"] = 0;
    });
    host.define("second frame", [](FakeHost::Vars& v) {
        v["n"] = 1;
        v["zbuf"] = 1;
        v["zbclear"] = 0;
    });
    host.define("second triangle", [](FakeHost::Vars& v) {
        coverFrame(v, 1.0);
        v["red1"] = 0;
        v["green1"] = 1;
        v["blue1"] = 0;
    });
    EffectPtr first = effectWith("first frame", "first triangle");
    EffectPtr second = effectWith("second frame", "second triangle");
    render(*first);
    render(*second);
    EXPECT_EQ(at(15, 5), 0x00FF0000u) << "left half: the first effect's nearer triangle stays";
    EXPECT_EQ(at(15, 30), 0x0000FF00u) << "right half: the entry there is 0";

    // Next frame: the first clears again, so its own triangle draws anew.
    render(*first);
    EXPECT_EQ(at(15, 30), 0x0000FF00u);
    EXPECT_EQ(render::depthEntries()[15 * kWidth + 30], 0u) << "cleared by the first effect";
}

TEST_F(DepthSharingTest, LastEffectDestroyedFreesTheBufferAndANewOneStartsCleared) {
    host.define("depth frame", [](FakeHost::Vars& v) {
        v["n"] = 1;
        v["zbuf"] = 1;
    });
    host.define("deep", [](FakeHost::Vars& v) { coverFrame(v, 5.0); });
    host.define("shallow", [](FakeHost::Vars& v) {
        coverFrame(v, 1.0);
        v["green1"] = 0;
    });
    EffectPtr a = effectWith("depth frame", "deep");
    EffectPtr b = effectWith("depth frame", "shallow");
    render(*a);
    a.reset();
    EXPECT_NE(render::depthEntries(), nullptr) << "one effect is still alive";
    b.reset();
    EXPECT_EQ(render::depthEntries(), nullptr) << "freed with the last effect";

    EffectPtr c = effectWith("depth frame", "shallow");
    render(*c);
    EXPECT_EQ(at(15, 15), 0x00FF00FFu) << "fresh buffer: nothing of the old depth 5 remains";
}

TEST_F(DepthSharingTest, NewFrameSizeRecreatesTheBufferWithoutZbclear) {
    host.define("depth frame", [](FakeHost::Vars& v) {
        v["n"] = 1;
        v["zbuf"] = 1;
    });
    double z1 = 5.0;
    host.define("triangle", [&z1](FakeHost::Vars& v) { coverFrame(v, z1); });
    EffectPtr effect = effectWith("depth frame", "triangle");
    render(*effect, kWidth, kHeight);
    render(*effect, kWidth, kHeight - 1);  // a smaller frame inside the same pixels
    EXPECT_EQ(render::depthHeight(), kHeight - 1);
    z1 = 1.0;
    std::fill(pixels.begin(), pixels.end(), kBackground);
    render(*effect, kWidth, kHeight - 1);
    EXPECT_EQ(at(10, 10), kBackground) << "the resized buffer holds the depth 5 of the last frame";
    render(*effect, kWidth, kHeight);
    EXPECT_EQ(at(10, 10), 0x00FFFFFFu) << "back at the old size: recreated, cleared, drawn";
}

TEST_F(DepthSharingTest, BeatSectionSwitchesToDepthOnlyFromTheNextFrame) {
    host.define("frame", [](FakeHost::Vars& v) { v["n"] = 1; });
    host.define("beat", [](FakeHost::Vars& v) { v["zbuf"] = 1; });
    host.define("triangle", [](FakeHost::Vars& v) { coverFrame(v, 1.0); });
    host.blendModeWord = 12;  // the host's mode draws nothing
    EffectPtr effect = makeEffect();
    loadBlock(*effect, presetBlock("", "frame", "beat", "triangle"));
    effect->renderFrame(nullptr, 1, pixels.data(), nullptr, kWidth, kHeight);
    EXPECT_EQ(at(10, 10), kBackground) << "this frame's mode was chosen before the beat";
    render(*effect);
    EXPECT_EQ(at(10, 10), 0x00FFFFFFu) << "depth mode from the next frame on";
}

}  // namespace
