// Reading the host's word and the process-wide selection cache.
#include <gtest/gtest.h>

#include <string>

#include "case_name.h"
#include "render/blend_selection.h"
#include "render/cpu_features.h"
#include "support/process_state.h"

namespace {

using render::PixelOp;

struct WordCase {
    uint32_t word;
    int mode;
    int ratio;
    const char* name;
};

class BlendWordTest : public testing::TestWithParam<WordCase> {};

TEST_P(BlendWordTest, ReadsASignedModeAndTheRatioOnlyForMode7) {
    const render::BlendChoice choice = render::readBlendModeWord(GetParam().word);
    EXPECT_EQ(choice.mode, GetParam().mode);
    EXPECT_EQ(choice.ratio, GetParam().ratio);
}

INSTANTIATE_TEST_SUITE_P(Words, BlendWordTest,
                         testing::Values(WordCase{0x00000000u, 0, 0, "Replace"},
                                         WordCase{0x0000FF01u, 1, 0, "RatioIgnoredOutsideMode7"},
                                         WordCase{0x00008007u, 7, 128, "MixRatioFromSecondByte"},
                                         WordCase{0xFFFF0007u, 7, 0, "UpperBytesIgnored"},
                                         WordCase{0x00000064u, 100, 0, "HostDepthByte"},
                                         WordCase{0x00000080u, -128, 0, "HighByteIsNegative"},
                                         WordCase{0x000000FFu, -1, 0, "AllOnesIsMinusOne"}),
                         CaseName());

class SelectionTest : public ProcessStateTest {};

struct ModeCase {
    int mode;
    bool extended;
    PixelOp op;
};

class ModeTableTest : public ProcessStateTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(ModeTableTest, PicksTheOperationAndBindsItsSpan) {
    render::setExtendedByteOps(GetParam().extended);
    const render::PixelOpSelection& selected = render::selectPixelOp(static_cast<render::BlendMode>(GetParam().mode), 0);
    EXPECT_EQ(selected.op, GetParam().op);
    if (GetParam().op == PixelOp::None)
        EXPECT_EQ(selected.span, nullptr);
    else
        EXPECT_EQ(selected.span, render::activeSpans().span[static_cast<int>(GetParam().op)]);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTableTest,
    testing::Values(ModeCase{0, true, PixelOp::Replace}, ModeCase{1, true, PixelOp::Additive},
                    ModeCase{2, false, PixelOp::MaximumPlain}, ModeCase{2, true, PixelOp::MaximumExtended},
                    ModeCase{3, false, PixelOp::AveragePlain}, ModeCase{3, true, PixelOp::AverageExtended},
                    ModeCase{4, false, PixelOp::SubtractColour}, ModeCase{5, false, PixelOp::SubtractPixel},
                    ModeCase{6, false, PixelOp::Multiply}, ModeCase{7, false, PixelOp::WeightedMix},
                    ModeCase{8, true, PixelOp::ExclusiveOr}, ModeCase{9, false, PixelOp::MinimumPlain},
                    ModeCase{9, true, PixelOp::MinimumExtended}, ModeCase{100, false, PixelOp::DepthReplace},
                    ModeCase{10, true, PixelOp::None}, ModeCase{12, true, PixelOp::None},
                    ModeCase{99, true, PixelOp::None}, ModeCase{101, true, PixelOp::None},
                    ModeCase{127, true, PixelOp::None}, ModeCase{-1, true, PixelOp::None},
                    ModeCase{-128, true, PixelOp::None}));

TEST_F(SelectionTest, SameModeKeepsTheCachedChoiceEvenWhenTheProcessorFlagChanges) {
    render::setExtendedByteOps(true);
    EXPECT_EQ(render::selectPixelOp(3, 0).op, PixelOp::AverageExtended);
    render::setExtendedByteOps(false);
    EXPECT_EQ(render::selectPixelOp(3, 0).op, PixelOp::AverageExtended) << "not stale: no reselection";
    render::selectPixelOp(0, 0);
    EXPECT_EQ(render::selectPixelOp(3, 0).op, PixelOp::AveragePlain) << "a mode change reselects";
}

TEST_F(SelectionTest, ChangingOnlyTheRatioInMode7Reselects) {
    EXPECT_EQ(render::selectPixelOp(7, 10).ratio, 10);
    EXPECT_EQ(render::selectPixelOp(7, 10).ratio, 10);
    EXPECT_EQ(render::selectPixelOp(7, 200).ratio, 200);
}

TEST_F(SelectionTest, FirstMode7SelectsEvenWithTheStartingRatio) {
    // lastRatio starts at 255, but no mode has been selected yet.
    const render::PixelOpSelection& selected = render::selectPixelOp(7, 255);
    EXPECT_EQ(selected.op, PixelOp::WeightedMix);
    EXPECT_EQ(selected.ratio, 255);
}

TEST_F(SelectionTest, ReturningToMode7AfterAnotherModeReselectsItsWeights) {
    render::selectPixelOp(7, 40);
    render::selectPixelOp(1, 0);
    const render::PixelOpSelection& selected = render::selectPixelOp(7, 40);
    EXPECT_EQ(selected.op, PixelOp::WeightedMix);
    EXPECT_EQ(selected.ratio, 40);
}

TEST_F(SelectionTest, UnlistedModeSelectsNothingAndAListedOneSelectsAgain) {
    EXPECT_EQ(render::selectPixelOp(12, 0).op, PixelOp::None);
    EXPECT_EQ(render::selectPixelOp(0, 0).op, PixelOp::Replace);
}

TEST(CpuFlagTest, RefreshSetsTheFlagFromTheProbe) {
    const bool saved = render::extendedByteOps();
    render::setExtendedByteOps(!render::probeCpuExtensions());
    render::refreshCpuFlag();
    EXPECT_EQ(render::extendedByteOps(), render::probeCpuExtensions());
    render::setExtendedByteOps(saved);
}

#if defined(__x86_64__) || defined(__SSE__)
TEST(CpuFlagTest, ProcessorsWithSseHaveTheByteExtensions) { EXPECT_TRUE(render::probeCpuExtensions()); }
#endif

}  // namespace
