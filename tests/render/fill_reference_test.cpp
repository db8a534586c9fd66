// The renderer against the reference rasterizer on thousands of random
// triangles, in every mode: whole frames and depth buffers must be identical.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "case_name.h"
#include "reference_rasterizer.h"
#include "render/cpu_features.h"
#include "render/depth_buffer.h"
#include "render/frame_renderer.h"
#include "render/triangle_sink.h"
#include "support/process_state.h"

namespace {

using render::PixelOp;

struct ModeCase {
    uint32_t blendWord;
    bool zbuf;
    bool extended;
    PixelOp op;
    const char* name;
};

// Deterministic on every platform: only the raw engine output is used.
class Random {
public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    uint32_t bits() { return static_cast<uint32_t>(engine_()); }
    int below(int n) { return static_cast<int>(bits() % static_cast<uint32_t>(n)); }
    double unit() { return bits() / 4294967296.0; }
    double between(double low, double high) { return low + (high - low) * unit(); }

    // Mostly ordinary coordinates, with every kind of trouble mixed in.
    double coordinate() {
        switch (below(20)) {
            case 0: return between(-1000.0, 1000.0);
            case 1: return between(-3e9, 3e9);  // pixel values past 32 bits
            case 2: return (below(2) ? 1 : -1) * 1e19 * (1.0 + unit());  // past 64 bits
            case 3: return std::numeric_limits<double>::quiet_NaN();
            case 4: return (below(2) ? 1 : -1) * std::numeric_limits<double>::infinity();
            case 5:
            case 6: return -1.0 + 0.125 * below(17);  // shared rows and columns
            default: return between(-1.3, 1.3);
        }
    }
    double colour() {
        switch (below(12)) {
            case 0: return std::numeric_limits<double>::quiet_NaN();
            case 1: return between(-2.0, 0.0);
            case 2: return between(1.0, 3.0);
            case 3: return below(256) / 255.0;
            case 4: return (below(255) + 0.5) / 255.0;  // near the halfway points
            default: return unit();
        }
    }
    double depth() {
        switch (below(8)) {
            case 0: return std::numeric_limits<double>::quiet_NaN();
            case 1: return between(-5.0, 0.0);
            case 2: return between(40000.0, 1e12);
            case 3: return 0.25 * below(8);  // equal depths
            default: return between(0.0, 50000.0);
        }
    }

private:
    std::mt19937 engine_;
};

reference::Triangle randomTriangle(Random& random) {
    reference::Triangle t{};
    t.x1 = random.coordinate();
    t.y1 = random.coordinate();
    switch (random.below(6)) {
        case 0:  // degenerate: a vertex repeated
            t.x2 = t.x1;
            t.y2 = t.y1;
            break;
        case 1:  // flat: a row shared
            t.x2 = random.coordinate();
            t.y2 = t.y1;
            break;
        default:
            t.x2 = random.coordinate();
            t.y2 = random.coordinate();
    }
    t.x3 = random.coordinate();
    t.y3 = random.below(8) == 0 ? t.y2 : random.coordinate();
    t.red = random.colour();
    t.green = random.colour();
    t.blue = random.colour();
    t.z1 = random.depth();
    return t;
}

render::TriangleVars asVars(const reference::Triangle& t) {
    return {t.x1, t.y1, t.x2, t.y2, t.x3, t.y3, t.red, t.green, t.blue, t.z1};
}

class FillReferenceTest : public ProcessStateTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(FillReferenceTest, RandomTrianglesMatchTheReferencePixelForPixel) {
    const ModeCase& mode = GetParam();
    render::setExtendedByteOps(mode.extended);
    const unsigned ratio = (mode.blendWord & 0xFF) == 7 ? (mode.blendWord >> 8) & 0xFF : 0;
    const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {2, 3}, {7, 5}, {33, 17}, {64, 48}, {48, 64}, {100, 100}};
    Random random(0xC0FFEEu + static_cast<uint32_t>(mode.blendWord) + (mode.zbuf ? 1000u : 0u));
    std::set<int> codes;
    int triangles = 0;

    for (const std::pair<int32_t, int32_t>& size : sizes) {
        const int32_t width = size.first, height = size.second;
        const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
        std::vector<uint32_t> frame(count), expectedFrame(count), expectedDepth(count, 0);
        for (size_t i = 0; i < count; ++i) frame[i] = expectedFrame[i] = random.bits();
        const render::Frame target = {frame.data(), width, height};

        // Two frames per size: depth entries carry over when not cleared.
        for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {
            render::TriangleSink& sink = render::frameRenderer();
            sink.chooseMode(target, mode.zbuf, false, &mode.blendWord);
            sink.beginTriangles(target);
            for (int n = 0; n < 200; ++n) {
                const reference::Triangle t = randomTriangle(random);
                codes.insert(reference::setUp(t, width, height).orderCode);
                sink.drawTriangle(asVars(t));
                reference::draw(t, mode.op, ratio, expectedFrame.data(), expectedDepth.data(), width, height);
                ++triangles;
            }
            ASSERT_EQ(std::memcmp(frame.data(), expectedFrame.data(), count * sizeof(uint32_t)), 0)
                << width << "x" << height << " frame " << frameNumber;
            if (mode.zbuf) {
                ASSERT_NE(render::depthEntries(), nullptr);
                ASSERT_EQ(std::memcmp(render::depthEntries(), expectedDepth.data(), count * sizeof(uint32_t)), 0)
                    << width << "x" << height << " depth, frame " << frameNumber;
            }
        }
    }
    EXPECT_EQ(triangles, 2800);
    EXPECT_EQ(codes, (std::set<int>{0, 1, 3, 4, 6, 7})) << "every row order was drawn";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FillReferenceTest,
    testing::Values(ModeCase{0, false, true, PixelOp::Replace, "Replace"},
                    ModeCase{1, false, true, PixelOp::Additive, "Additive"},
                    ModeCase{2, false, false, PixelOp::MaximumPlain, "MaximumPlain"},
                    ModeCase{2, false, true, PixelOp::MaximumExtended, "MaximumExtended"},
                    ModeCase{3, false, false, PixelOp::AveragePlain, "AveragePlain"},
                    ModeCase{3, false, true, PixelOp::AverageExtended, "AverageExtended"},
                    ModeCase{4, false, true, PixelOp::SubtractColour, "SubtractColour"},
                    ModeCase{5, false, true, PixelOp::SubtractPixel, "SubtractPixel"},
                    ModeCase{6, false, true, PixelOp::Multiply, "Multiply"},
                    ModeCase{0x0007, false, true, PixelOp::WeightedMix, "MixRatio0"},
                    ModeCase{0x5A07, false, true, PixelOp::WeightedMix, "MixRatio90"},
                    ModeCase{0xFF07, false, true, PixelOp::WeightedMix, "MixRatio255"},
                    ModeCase{8, false, true, PixelOp::ExclusiveOr, "ExclusiveOr"},
                    ModeCase{9, false, false, PixelOp::MinimumPlain, "MinimumPlain"},
                    ModeCase{9, false, true, PixelOp::MinimumExtended, "MinimumExtended"},
                    ModeCase{3, true, true, PixelOp::DepthReplace, "Depth"}),
    CaseName());

}  // namespace
