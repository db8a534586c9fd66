// The renderer allocates nothing per frame or per triangle: only the depth
// buffer, when its size changes. Every form of operator new is replaced in
// this program by one that counts, so any allocation on the drawing path shows.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "render/blend_selection.h"
#include "render/frame_renderer.h"
#include "render/span_table.h"
#include "render/triangle_sink.h"

namespace {
long g_allocations = 0;

void* counted(size_t size) {
    ++g_allocations;
    void* memory = std::malloc(size == 0 ? 1 : size);
    return memory;
}
}  // namespace

void* operator new(size_t size) {
    void* memory = counted(size);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace {

struct ModeCase {
    const char* name;
    uint32_t blendWord;
    bool zbuf;
};

const ModeCase kModes[] = {{"Replace", 0, false},  {"Additive", 1, false},       {"Maximum", 2, false},
                           {"Average", 3, false},  {"SubtractColour", 4, false}, {"SubtractPixel", 5, false},
                           {"Multiply", 6, false}, {"Mix", 0x8007, false},      {"ExclusiveOr", 8, false},
                           {"Minimum", 9, false},  {"Depth", 0, true}};

struct VariantCase {
    const char* name;
    render::SpanVariant variant;
};
const VariantCase kVariants[] = {
    {"Scalar", render::SpanVariant::Scalar}, {"Sse2", render::SpanVariant::Sse2}, {"Avx2", render::SpanVariant::Avx2}};

// Small and large triangles, on and off the frame.
render::TriangleVars triangleNumber(int k) {
    const double s = (k % 7) * 0.3 - 0.9, size = k % 3 == 0 ? 1.5 : 0.05;
    return {s, -s, s + size, -s + 0.02, s - 0.01, -s + size, 0.3, 0.6, 0.9, 0.01 * (k % 50)};
}

// Draws `frames` frames of `triangles` triangles; returns the allocations made.
long allocationsDrawing(const ModeCase& mode, int frames, int triangles, std::vector<uint32_t>& pixels) {
    const render::Frame frame = {pixels.data(), 320, 200};
    render::TriangleSink& sink = render::frameRenderer();
    const long before = g_allocations;
    for (int f = 0; f < frames; ++f) {
        sink.chooseMode(frame, mode.zbuf, f % 2 == 0, &mode.blendWord);
        sink.beginTriangles(frame);
        for (int k = 0; k < triangles; ++k) sink.drawTriangle(triangleNumber(k));
    }
    return g_allocations - before;
}

class AllocationCountTest : public testing::TestWithParam<std::tuple<VariantCase, ModeCase>> {
protected:
    void TearDown() override {
        render::limitSpanVariant(render::SpanVariant::Avx2);
        render::resetPixelOpSelection();
        render::releaseSharedDepth();
    }
};

TEST_P(AllocationCountTest, NoneAfterTheFirstFrame) {
    const VariantCase& variant = std::get<0>(GetParam());
    const ModeCase& mode = std::get<1>(GetParam());
    if (render::spansOf(variant.variant) == nullptr) GTEST_SKIP() << variant.name << " is not available here";
    render::limitSpanVariant(variant.variant);
    render::resetPixelOpSelection();
    std::vector<uint32_t> pixels(320 * 200, 0x10203040u);
    // The first frame may allocate (the depth buffer) and the counter must see it.
    const long first = allocationsDrawing(mode, 1, 10, pixels);
    EXPECT_EQ(first, mode.zbuf ? 1 : 0) << "only the depth buffer, once";
    EXPECT_EQ(allocationsDrawing(mode, 20, 1, pixels), 0) << "per frame";
    EXPECT_EQ(allocationsDrawing(mode, 2, 5000, pixels), 0) << "per triangle";
}

INSTANTIATE_TEST_SUITE_P(Renderer, AllocationCountTest, testing::Combine(testing::ValuesIn(kVariants), testing::ValuesIn(kModes)),
                         [](const testing::TestParamInfo<std::tuple<VariantCase, ModeCase>>& row) {
                             return std::string(std::get<0>(row.param).name) + "_" + std::get<1>(row.param).name;
                         });

// The counter itself counts: a vector's buffer is one allocation.
TEST(AllocationCounterTest, SeesAnAllocation) {
    const long before = g_allocations;
    std::vector<int>* numbers = new std::vector<int>(100);
    EXPECT_EQ(g_allocations - before, 2);
    delete numbers;
}

}  // namespace
