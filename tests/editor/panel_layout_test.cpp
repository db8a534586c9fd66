// The panel's resize arithmetic: widths, the 4 : 3 : 5 share of the height,
// label centring, truncation toward zero and the records that are missing.
#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <vector>

#include "editor/panel_layout.h"

namespace {

using editor::ControlBox;
using editor::PanelPlacements;
using editor::PanelSlots;
using editor::SlotIndex;
using editor::computePanelLayout;
using editor::kBeatEdit;
using editor::kBeatLabel;
using editor::kFrameEdit;
using editor::kFrameLabel;
using editor::kInitEdit;
using editor::kSlotCount;
using editor::kTriangleEdit;
using editor::kTriangleLabel;

}  // namespace

namespace editor {
bool operator==(const ControlBox& a, const ControlBox& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
void PrintTo(const ControlBox& box, std::ostream* out) {
    *out << "{left " << box.left << ", top " << box.top << ", width " << box.width << ", height " << box.height << "}";
}
}  // namespace editor

namespace {

// Roughly the template's controls at 96 dpi, with the label bitmaps' real
// heights; what matters is that every value is distinct.
PanelSlots templatePanel() {
    PanelSlots panel;
    const ControlBox boxes[kSlotCount] = {
        /* init edit */ {9, 0, 315, 46},
        /* frame edit */ {9, 46, 315, 99},
        /* beat edit */ {9, 145, 315, 97},
        /* triangle edit */ {9, 242, 315, 102},
        /* frame label */ {1, 67, 9, 28},
        /* beat label */ {2, 166, 9, 21},
        /* triangle label */ {3, 253, 9, 38},
    };
    for (int k = 0; k < kSlotCount; ++k) panel.slots[k] = {true, true, boxes[k]};
    return panel;
}

// What a platform would report after the placements were applied.
PanelSlots applied(PanelSlots panel, const PanelPlacements& placements) {
    for (int k = 0; k < kSlotCount; ++k) {
        if (placements.slots[k].place) panel.slots[k].box = placements.slots[k].box;
    }
    return panel;
}

ControlBox placed(const PanelPlacements& placements, SlotIndex index) {
    EXPECT_TRUE(placements.slots[index].place) << "slot " << index;
    return placements.slots[index].box;
}

TEST(PanelLayout, WorkedExample) {
    const PanelPlacements out = computePanelLayout(templatePanel(), 400, 345);
    EXPECT_EQ(placed(out, kInitEdit), (ControlBox{9, 0, 391, 46}));
    EXPECT_EQ(placed(out, kFrameEdit), (ControlBox{9, 46, 391, 100}));
    EXPECT_EQ(placed(out, kBeatEdit), (ControlBox{9, 146, 391, 75}));
    EXPECT_EQ(placed(out, kTriangleEdit), (ControlBox{9, 221, 391, 125}));
    EXPECT_EQ(placed(out, kFrameLabel), (ControlBox{1, 82, 9, 28}));
    EXPECT_EQ(placed(out, kBeatLabel), (ControlBox{2, 173, 9, 21}));
    EXPECT_EQ(placed(out, kTriangleLabel), (ControlBox{3, 264, 9, 38}));
}

struct HeightCase {
    const char* name;
    int32_t clientHeight;
    int32_t frame, beat, triangle;
};

class SharedHeightTest : public testing::TestWithParam<HeightCase> {};

// Heights are passed on unclamped, and the edits stay stacked without gaps.
TEST_P(SharedHeightTest, SplitsFourThreeFiveAndStacks) {
    const HeightCase& c = GetParam();
    const PanelPlacements out = computePanelLayout(templatePanel(), 400, c.clientHeight);
    const ControlBox frame = placed(out, kFrameEdit);
    const ControlBox beat = placed(out, kBeatEdit);
    const ControlBox triangle = placed(out, kTriangleEdit);
    EXPECT_EQ(frame.height, c.frame);
    EXPECT_EQ(beat.height, c.beat);
    EXPECT_EQ(triangle.height, c.triangle);
    EXPECT_EQ(frame.top, 46);
    EXPECT_EQ(beat.top, 46 + c.frame);
    EXPECT_EQ(triangle.top, 46 + c.frame + c.beat);
}

INSTANTIATE_TEST_SUITE_P(
    Heights, SharedHeightTest,
    testing::Values(HeightCase{"Shared300", 345, 100, 75, 125}, HeightCase{"Shared100LosesOne", 145, 33, 25, 41},
                    HeightCase{"Shared11LosesTwo", 56, 3, 2, 4}, HeightCase{"Shared120Exact", 165, 40, 30, 50},
                    HeightCase{"Shared0", 45, 0, 0, 0}, HeightCase{"BelowReserve", 40, -1, -1, -2},
                    HeightCase{"ZeroClient", 0, -15, -11, -18},
                    // Truncation toward zero, not flooring: -1 * 4 / 12 is 0.
                    HeightCase{"JustBelowReserve", 44, 0, 0, 0},
                    HeightCase{"LargestClient", 65535, 21830, 16372, 27287}),
    [](const testing::TestParamInfo<HeightCase>& param) { return param.param.name; });

class ClientWidthTest : public testing::TestWithParam<int32_t> {};

TEST_P(ClientWidthTest, EveryEditIsNineNarrowerAndKeepsItsLeftEdge) {
    const int32_t clientWidth = GetParam();
    const PanelSlots before = templatePanel();
    const PanelPlacements out = computePanelLayout(before, clientWidth, 345);
    for (SlotIndex edit : {kInitEdit, kFrameEdit, kBeatEdit, kTriangleEdit}) {
        EXPECT_EQ(placed(out, edit).width, clientWidth - 9) << "edit " << edit;
        EXPECT_EQ(placed(out, edit).left, before.slots[edit].box.left) << "edit " << edit;
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, ClientWidthTest, testing::Values(400, 9, 8, 0, 65535));

TEST(PanelLayout, InitEditKeepsItsTopAndHeight) {
    const PanelSlots before = templatePanel();
    const ControlBox init = placed(computePanelLayout(before, 100, 0), kInitEdit);
    EXPECT_EQ(init.top, before.slots[kInitEdit].box.top);
    EXPECT_EQ(init.height, before.slots[kInitEdit].box.height);
}

TEST(PanelLayout, LabelsMoveOnlyVertically) {
    const PanelSlots before = templatePanel();
    const PanelPlacements out = computePanelLayout(before, 50, 700);
    for (SlotIndex label : {kFrameLabel, kBeatLabel, kTriangleLabel}) {
        const ControlBox was = before.slots[label].box;
        const ControlBox now = placed(out, label);
        EXPECT_EQ(now.left, was.left);
        EXPECT_EQ(now.width, was.width);
        EXPECT_EQ(now.height, was.height);
    }
}

TEST(PanelLayout, LabelTallerThanItsEditRisesAboveIt) {
    PanelSlots panel = templatePanel();
    panel.slots[kFrameEdit].box.top = 50;
    panel.slots[kFrameLabel].box.height = 15;
    // Client height 75: shared 30, Frame edit 10 high.
    const PanelPlacements out = computePanelLayout(panel, 400, 75);
    ASSERT_EQ(placed(out, kFrameEdit).height, 10);
    // (10 - 15) / 2 truncates to -2, not -3.
    EXPECT_EQ(placed(out, kFrameLabel).top, 48);
}

TEST(PanelLayout, SameSizeTwiceGivesTheSameRectangles) {
    const PanelSlots start = templatePanel();
    const PanelPlacements first = computePanelLayout(start, 512, 300);
    const PanelPlacements second = computePanelLayout(applied(start, first), 512, 300);
    for (int k = 0; k < kSlotCount; ++k) {
        EXPECT_EQ(second.slots[k].place, first.slots[k].place) << "slot " << k;
        EXPECT_EQ(second.slots[k].box, first.slots[k].box) << "slot " << k;
    }
}

TEST(PanelLayout, ResultDependsOnlyOnSizeAndUnmovedQuantities) {
    const PanelSlots start = templatePanel();
    const PanelSlots afterDetour = applied(start, computePanelLayout(start, 120, 60));
    const PanelPlacements direct = computePanelLayout(start, 400, 345);
    const PanelPlacements detour = computePanelLayout(afterDetour, 400, 345);
    for (int k = 0; k < kSlotCount; ++k) EXPECT_EQ(detour.slots[k].box, direct.slots[k].box) << "slot " << k;
}

TEST(PanelLayout, NoRecordsPlaceNothing) {
    const PanelPlacements out = computePanelLayout(PanelSlots{}, 400, 345);
    for (int k = 0; k < kSlotCount; ++k) EXPECT_FALSE(out.slots[k].place) << "slot " << k;
}

// A damaged panel: which records are missing or found no window, and what the
// pass then places. Expected boxes are for 400 x 345 from templatePanel().
struct DamageCase {
    const char* name;
    SlotIndex slot;
    bool present;     // false: no record at all
    bool hasControl;  // for a present record
    // Slots left unplaced.
    std::vector<SlotIndex> unplaced;
    // Expected tops of the Beat and Triangle edits when they are placed.
    int32_t beatTop, triangleTop;
};

class DamagedPanelTest : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedPanelTest, SkipsWhatIsMissingAndNeverStacksOnIt) {
    const DamageCase& c = GetParam();
    PanelSlots panel = templatePanel();
    panel.slots[c.slot].present = c.present;
    panel.slots[c.slot].hasControl = c.hasControl;
    // A record without a window holds nothing the platform reported.
    if (!c.hasControl) panel.slots[c.slot].box = {-7777, -7777, -7777, -7777};
    const PanelPlacements out = computePanelLayout(panel, 400, 345);

    bool expectPlaced[kSlotCount] = {true, true, true, true, true, true, true};
    for (SlotIndex index : c.unplaced) expectPlaced[index] = false;
    for (int k = 0; k < kSlotCount; ++k) EXPECT_EQ(out.slots[k].place, expectPlaced[k]) << "slot " << k;

    if (expectPlaced[kBeatEdit]) {
        EXPECT_EQ(out.slots[kBeatEdit].box.top, c.beatTop);
    }
    if (expectPlaced[kTriangleEdit]) {
        EXPECT_EQ(out.slots[kTriangleEdit].box.top, c.triangleTop);
    }
    if (expectPlaced[kBeatLabel]) {
        EXPECT_EQ(out.slots[kBeatLabel].box.top, (75 - 21) / 2 + c.beatTop);
    }
    if (expectPlaced[kTriangleLabel]) {
        EXPECT_EQ(out.slots[kTriangleLabel].box.top, (125 - 38) / 2 + c.triangleTop);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedPanelTest,
    testing::Values(
        DamageCase{"InitEditMissing", kInitEdit, false, false, {kInitEdit}, 146, 221},
        DamageCase{"FrameEditMissing", kFrameEdit, false, false, {kFrameEdit, kFrameLabel}, 145, 220},
        DamageCase{"FrameEditWithoutWindow", kFrameEdit, true, false, {kFrameEdit, kFrameLabel}, 145, 220},
        DamageCase{"BeatEditMissing", kBeatEdit, false, false, {kBeatEdit, kBeatLabel}, 0, 242},
        DamageCase{"BeatEditWithoutWindow", kBeatEdit, true, false, {kBeatEdit, kBeatLabel}, 0, 242},
        DamageCase{"TriangleEditMissing", kTriangleEdit, false, false, {kTriangleEdit, kTriangleLabel}, 146, 0},
        DamageCase{"FrameLabelMissing", kFrameLabel, false, false, {kFrameLabel}, 146, 221},
        DamageCase{"BeatLabelWithoutWindow", kBeatLabel, true, false, {kBeatLabel}, 146, 221},
        DamageCase{"TriangleLabelMissing", kTriangleLabel, false, false, {kTriangleLabel}, 146, 221}),
    [](const testing::TestParamInfo<DamageCase>& param) { return param.param.name; });

}  // namespace
