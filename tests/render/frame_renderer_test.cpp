// The renderer as the frame driver sees it: mode choice per frame, script
// coordinates to pixels, and depth mode.
#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <vector>

#include "render/blend_selection.h"
#include "render/cpu_features.h"
#include "render/depth_buffer.h"
#include "render/frame_renderer.h"
#include "render/triangle_sink.h"
#include "support/process_state.h"

namespace {

// (-1,-1), (1,-1), (-1,1): the upper-left half of the frame.
const render::TriangleVars kUpperLeft = {-1, -1, 1, -1, -1, 1, 1, 1, 1, 0};
// Covers every row of a 100 x 100 frame, all but the last column.
const render::TriangleVars kFrameCover = {-1, -5, 5, 1, -5, 1, 1, 1, 1, 0};

class FrameRendererTest : public ProcessStateTest {
protected:
    FrameRendererTest() : pixels(static_cast<size_t>(kWidth) * kHeight, kBackground) {}

    // One frame: the mode choice, then the triangles.
    void drawFrame(const uint32_t* blendWord, bool zbuf, bool zbclear, std::vector<render::TriangleVars> triangles,
                   int32_t width = kWidth, int32_t height = kHeight) {
        const render::Frame frame = {pixels.data(), width, height};
        render::TriangleSink& sink = render::frameRenderer();
        sink.chooseMode(frame, zbuf, zbclear, blendWord);
        sink.beginTriangles(frame);
        for (const render::TriangleVars& t : triangles) sink.drawTriangle(t);
    }
    void drawInMode(uint32_t blendWord, std::vector<render::TriangleVars> triangles) {
        drawFrame(&blendWord, false, false, triangles);
    }
    uint32_t at(int32_t row, int32_t column) const { return pixels[static_cast<size_t>(row) * kWidth + column]; }
    int changed() const {
        int count = 0;
        for (uint32_t p : pixels) count += p != kBackground;
        return count;
    }
    static render::TriangleVars coloured(render::TriangleVars t, double red, double green, double blue, double z1 = 0) {
        t.red1 = red;
        t.green1 = green;
        t.blue1 = blue;
        t.z1 = z1;
        return t;
    }

    static constexpr int32_t kWidth = 100;
    static constexpr int32_t kHeight = 100;
    static constexpr uint32_t kBackground = 0x01010101u;
    std::vector<uint32_t> pixels;
};

TEST_F(FrameRendererTest, CornerTriangleFromScriptCoordinates) {
    drawInMode(0, {kUpperLeft});
    for (int32_t x = 0; x < kWidth; ++x) EXPECT_EQ(at(0, x), kBackground) << "row 0 is a flat top";
    for (int32_t y = 1; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool inside = x < 99 - y;
            ASSERT_EQ(at(y, x), inside ? 0x00FFFFFFu : kBackground) << "row " << y << " column " << x;
        }
    }
}

TEST_F(FrameRendererTest, UnlistedModeDrawsNothingAndMode0DrawsAgainNextFrame) {
    drawInMode(12, {kUpperLeft});
    EXPECT_EQ(changed(), 0);
    drawInMode(0, {kUpperLeft});
    EXPECT_GT(changed(), 0);
}

TEST_F(FrameRendererTest, NoBlendWordDrawsNothing) {
    drawFrame(nullptr, false, false, {kUpperLeft});
    EXPECT_EQ(changed(), 0);
}

TEST_F(FrameRendererTest, HostDepthByteWithoutZbufDrawsNothing) {
    // Even with a buffer of the frame's size left by an earlier depth frame.
    drawFrame(nullptr, true, false, {});
    ASSERT_NE(render::depthEntries(), nullptr);
    drawInMode(100, {kUpperLeft});
    EXPECT_EQ(changed(), 0);
}

TEST_F(FrameRendererTest, AverageFollowsTheProcessorVariant) {
    const render::TriangleVars t = coloured(kFrameCover, 2.0 / 255, 2.0 / 255, 2.0 / 255);
    render::setExtendedByteOps(false);
    drawInMode(3, {t});
    EXPECT_EQ(at(50, 50), 0x00010101u) << "(1 + 2) >> 1 and a top byte of (1 + 0) >> 1";

    std::fill(pixels.begin(), pixels.end(), kBackground);
    render::resetPixelOpSelection();
    render::setExtendedByteOps(true);
    drawInMode(3, {t});
    EXPECT_EQ(at(50, 50), 0x01020202u) << "rounding up, the top byte too";
}

TEST_F(FrameRendererTest, ChangingTheMixRatioTakesEffectOnTheNextFrame) {
    std::fill(pixels.begin(), pixels.end(), 0u);
    drawInMode(0x8007, {kFrameCover});
    EXPECT_EQ(at(50, 50), 0x007E7E7Eu) << "r = 128: 255 × 127 >> 8";
    std::fill(pixels.begin(), pixels.end(), 0u);
    drawInMode(0x0007, {kFrameCover});
    EXPECT_EQ(at(50, 50), 0x00FEFEFEu) << "r = 0: 255 × 255 >> 8";
}

TEST_F(FrameRendererTest, DepthModeIgnoresTheHostModeAndKeepsTheNearerTriangle) {
    const uint32_t additive = 1;
    drawFrame(&additive, true, true,
              {coloured(kFrameCover, 1, 0, 0, 2.0), coloured(kFrameCover, 0, 1, 0, 1.0),
               coloured(kUpperLeft, 0, 0, 1, 2.0)});
    EXPECT_EQ(at(50, 80), 0x00FF0000u) << "depth 1 stays behind depth 2";
    EXPECT_EQ(at(50, 10), 0x000000FFu) << "equal depth: the later triangle wins";
    EXPECT_EQ(at(50, 99), kBackground) << "the last column";
    EXPECT_EQ(render::depthEntries()[50 * kWidth + 80], 200000u);
}

TEST_F(FrameRendererTest, DepthPersistsAcrossFramesUntilCleared) {
    drawFrame(nullptr, true, false, {coloured(kFrameCover, 1, 0, 0, 2.0)});
    std::fill(pixels.begin(), pixels.end(), kBackground);  // another effect repaints the frame
    drawFrame(nullptr, true, false, {coloured(kFrameCover, 0, 1, 0, 1.0)});
    EXPECT_EQ(changed(), 0) << "the depth left by the last frame keeps z1 = 1 out";
    drawFrame(nullptr, true, true, {coloured(kFrameCover, 0, 1, 0, 1.0)});
    EXPECT_EQ(at(50, 50), 0x0000FF00u) << "zbclear empties the buffer first";
}

TEST_F(FrameRendererTest, DepthBufferOutlivesFramesWithZbufOff) {
    drawFrame(nullptr, true, false, {coloured(kFrameCover, 1, 0, 0, 3.0)});
    drawInMode(8, {kFrameCover});
    EXPECT_EQ(at(50, 50), 0x0000FFFFu) << "the host's mode applies again";
    EXPECT_EQ(render::depthEntries()[50 * kWidth + 50], 300000u) << "and the entries are left alone";
}

TEST_F(FrameRendererTest, DepthModeWithoutSizeAllocatesAndDrawsNothing) {
    drawFrame(nullptr, true, false, {kFrameCover}, 0, kHeight);
    drawFrame(nullptr, true, false, {kFrameCover}, kWidth, 0);
    drawFrame(nullptr, true, false, {kFrameCover}, -1, -1);
    EXPECT_EQ(render::depthEntries(), nullptr);
    EXPECT_EQ(changed(), 0);
}

TEST_F(FrameRendererTest, DepthModeWithoutMemoryDrawsNothingThatFrame) {
    render::replaceDepthAllocator([](size_t) -> uint32_t* { return nullptr; });
    drawFrame(nullptr, true, false, {kFrameCover});
    EXPECT_EQ(changed(), 0);
    render::replaceDepthAllocator(nullptr);
    drawFrame(nullptr, true, false, {kFrameCover});
    EXPECT_GT(changed(), 0);
}

TEST_F(FrameRendererTest, ReleasedDepthIsNeverDrawnThrough) {
    drawFrame(nullptr, true, false, {});
    render::releaseSharedDepth();
    // No new mode choice: the renderer must not reach for the freed entries.
    render::frameRenderer().drawTriangle(kFrameCover);
    EXPECT_EQ(changed(), 0);
}

}  // namespace
