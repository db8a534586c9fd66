// The panel following its size: read back from the live controls after the
// host resizes the panel window.
#include <map>

#include "panel_fixture.h"

namespace {

using Rects = std::map<int, RECT>;

const int kAllControls[] = {kInitLabel, kInitEdit, kFrameLabel, kFrameEdit,
                            kBeatLabel, kBeatEdit, kTriangleLabel, kTriangleEdit};

Rects rectsOf(HWND panel) {
    Rects rects;
    for (int id : kAllControls) rects[id] = placementOf(control(panel, id));
    return rects;
}

int width(const RECT& rect) { return rect.right - rect.left; }
int height(const RECT& rect) { return rect.bottom - rect.top; }

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void expectSameRects(const Rects& actual, const Rects& expected) {
    for (int id : kAllControls) {
        EXPECT_TRUE(sameRect(actual.at(id), expected.at(id)))
            << "control " << id << ": " << actual.at(id).left << "," << actual.at(id).top << " " << width(actual.at(id))
            << "x" << height(actual.at(id)) << " instead of " << expected.at(id).left << "," << expected.at(id).top
            << " " << width(expected.at(id)) << "x" << height(expected.at(id));
    }
}

// Resizes the panel as the host does; the panel has no frame, so the client
// area takes the whole size.
void resize(HWND panel, int clientWidth, int clientHeight) {
    SetWindowPos(panel, nullptr, 0, 0, clientWidth, clientHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client = {};
    GetClientRect(panel, &client);
    ASSERT_EQ(client.right, clientWidth);
    ASSERT_EQ(client.bottom, clientHeight);
}

struct ClientSize {
    int width;
    int height;
};

class PanelResizeTest : public PanelTest, public testing::WithParamInterface<ClientSize> {};

TEST_P(PanelResizeTest, EditsTakeTheWidthShareTheHeightAndLabelsStayCentred) {
    const HWND panel = openPanel(newEffect());
    const Rects before = rectsOf(panel);
    const ClientSize size = GetParam();
    resize(panel, size.width, size.height);
    const Rects after = rectsOf(panel);

    const int shared = size.height - 45;
    const int frameTop = before.at(kFrameEdit).top;
    struct Expected {
        int id;
        int top;
        int height;
    };
    const Expected edits[] = {
        {kInitEdit, before.at(kInitEdit).top, height(before.at(kInitEdit))},
        {kFrameEdit, frameTop, shared * 4 / 12},
        {kBeatEdit, frameTop + shared * 4 / 12, shared * 3 / 12},
        {kTriangleEdit, frameTop + shared * 4 / 12 + shared * 3 / 12, shared * 5 / 12},
    };
    for (const Expected& edit : edits) {
        const RECT& rect = after.at(edit.id);
        EXPECT_EQ(rect.left, before.at(edit.id).left) << "edit " << edit.id;
        EXPECT_EQ(width(rect), size.width - 9) << "edit " << edit.id;
        EXPECT_EQ(rect.top, edit.top) << "edit " << edit.id;
        EXPECT_EQ(height(rect), edit.height) << "edit " << edit.id;
    }

    const int labelled[][2] = {{kFrameLabel, kFrameEdit}, {kBeatLabel, kBeatEdit}, {kTriangleLabel, kTriangleEdit}};
    for (const auto& pair : labelled) {
        const RECT& label = after.at(pair[0]);
        const RECT& edit = after.at(pair[1]);
        EXPECT_EQ(label.top, (height(edit) - height(label)) / 2 + edit.top) << "label " << pair[0];
        EXPECT_EQ(label.left, before.at(pair[0]).left) << "label " << pair[0];
        EXPECT_EQ(width(label), width(before.at(pair[0]))) << "label " << pair[0];
        EXPECT_EQ(height(label), height(before.at(pair[0]))) << "label " << pair[0];
    }
    EXPECT_TRUE(sameRect(after.at(kInitLabel), before.at(kInitLabel))) << "the Init label never moves";
}

INSTANTIATE_TEST_SUITE_P(Sizes, PanelResizeTest,
                         testing::Values(ClientSize{400, 345}, ClientSize{640, 480}, ClientSize{300, 150},
                                         ClientSize{1021, 857}, ClientSize{120, 57}));

TEST_F(PanelTest, ResizingKeepsEachControlsVisibility) {
    const HWND panel = openPanel(newEffect());
    ShowWindow(control(panel, kBeatLabel), SW_HIDE);
    ShowWindow(control(panel, kTriangleEdit), SW_HIDE);
    resize(panel, 500, 400);
    for (int id : kAllControls) {
        const bool hidden = id == kBeatLabel || id == kTriangleEdit;
        EXPECT_EQ(hasVisibleStyle(control(panel, id)), !hidden) << "control " << id;
    }
    EXPECT_EQ(width(placementOf(control(panel, kTriangleEdit))), 491) << "hidden controls are laid out too";
}

TEST_F(PanelTest, TheSameSizeGivesTheSameRectangles) {
    const HWND panel = openPanel(newEffect());
    resize(panel, 400, 345);
    const Rects first = rectsOf(panel);
    SendMessageA(panel, WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 345));
    expectSameRects(rectsOf(panel), first);
    resize(panel, 333, 222);
    resize(panel, 400, 345);
    expectSameRects(rectsOf(panel), first);
}

TEST_F(PanelTest, ResizingAfterDestroyMovesNothing) {
    const HWND panel = openPanel(newEffect());
    resize(panel, 400, 345);
    const Rects laidOut = rectsOf(panel);
    SendMessageA(panel, WM_DESTROY, 0, 0);
    resize(panel, 700, 500);
    expectSameRects(rectsOf(panel), laidOut);
}

TEST_F(PanelTest, ANewPanelFollowsItsSizeAfterAnOlderOneIsDestroyed) {
    const HWND older = openPanel(newEffect());
    const HWND newer = openPanel(newEffect());
    DestroyWindow(older);
    resize(newer, 400, 345);
    EXPECT_EQ(width(placementOf(control(newer, kInitEdit))), 391);
}

}  // namespace
