// The shared depth buffer: allocation, clearing, reuse and release.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <new>

#include "render/depth_buffer.h"
#include "case_name.h"
#include "support/process_state.h"

namespace {

class DepthBufferTest : public ProcessStateTest {
protected:
    static int allocations;
    static uint32_t* countingAllocator(size_t count) {
        ++allocations;
        return new (std::nothrow) uint32_t[count];
    }
    static uint32_t* failingAllocator(size_t) { return nullptr; }
};

int DepthBufferTest::allocations = 0;

TEST_F(DepthBufferTest, FirstUseAllocatesAClearedBufferWhateverZbclearSays) {
    uint32_t* entries = render::prepareDepth(7, 5, false);
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(render::depthWidth(), 7);
    EXPECT_EQ(render::depthHeight(), 5);
    for (int i = 0; i < 35; ++i) EXPECT_EQ(entries[i], 0u);
}

TEST_F(DepthBufferTest, SameSizeKeepsTheEntriesUnlessZbclear) {
    uint32_t* entries = render::prepareDepth(4, 4, false);
    entries[5] = 1234;
    EXPECT_EQ(render::prepareDepth(4, 4, false), entries);
    EXPECT_EQ(entries[5], 1234u);
    EXPECT_EQ(render::prepareDepth(4, 4, true), entries);
    EXPECT_EQ(entries[5], 0u);
}

TEST_F(DepthBufferTest, NewSizeStartsClearedEvenWithoutZbclear) {
    // Same entry count, other shape: still a new buffer.
    uint32_t* entries = render::prepareDepth(4, 6, false);
    for (int i = 0; i < 24; ++i) entries[i] = 99;
    uint32_t* resized = render::prepareDepth(6, 4, false);
    ASSERT_NE(resized, nullptr);
    EXPECT_EQ(render::depthWidth(), 6);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(resized[i], 0u);
}

TEST_F(DepthBufferTest, ReleaseFreesAndTheNextUseStartsAfresh) {
    render::prepareDepth(3, 3, false)[0] = 5;
    render::releaseDepth();
    EXPECT_EQ(render::depthEntries(), nullptr);
    EXPECT_EQ(render::depthWidth(), 0);
    EXPECT_EQ(render::prepareDepth(3, 3, false)[0], 0u);
}

struct SizeCase {
    int32_t width, height;
    const char* name;
};

class UnusableSizeTest : public DepthBufferTest, public testing::WithParamInterface<SizeCase> {};

// Nothing to allocate or too much to address: no buffer, no allocation tried,
// and an old buffer is dropped as for any change of size.
TEST_P(UnusableSizeTest, GivesNoBufferWithoutAllocating) {
    render::prepareDepth(8, 8, false);
    render::replaceDepthAllocator(countingAllocator);
    allocations = 0;
    EXPECT_EQ(render::prepareDepth(GetParam().width, GetParam().height, true), nullptr);
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(render::depthEntries(), nullptr);
    uint32_t* fresh = render::prepareDepth(8, 8, false);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(allocations, 1);
}

const int32_t kMaxInt = std::numeric_limits<int32_t>::max();

INSTANTIATE_TEST_SUITE_P(Sizes, UnusableSizeTest,
                         testing::Values(SizeCase{0, 10, "NoWidth"}, SizeCase{10, 0, "NoHeight"},
                                         SizeCase{-4, 10, "NegativeWidth"}, SizeCase{10, -4, "NegativeHeight"},
                                         SizeCase{-4, -4, "BothNegative"},
                                         SizeCase{kMaxInt, kMaxInt, "BeyondAnyAddressSpace"}),
                         CaseName());

#if UINTPTR_MAX == 0xFFFFFFFFu
TEST_F(DepthBufferTest, SizesPast32BitAddressingAreRefused) {
    render::replaceDepthAllocator(countingAllocator);
    allocations = 0;
    EXPECT_EQ(render::prepareDepth(65536, 65536, false), nullptr);
    EXPECT_EQ(render::prepareDepth(32768, 16384, false), nullptr) << "2 GiB of entries";
    EXPECT_EQ(allocations, 0);
}
#endif

TEST_F(DepthBufferTest, FailedAllocationGivesNoBufferAndALaterFrameRetries) {
    render::replaceDepthAllocator(failingAllocator);
    EXPECT_EQ(render::prepareDepth(16, 16, false), nullptr);
    EXPECT_EQ(render::depthEntries(), nullptr);
    render::replaceDepthAllocator(nullptr);
    EXPECT_NE(render::prepareDepth(16, 16, false), nullptr);
}

}  // namespace
