// The editor panel as the user meets it: the code boxes show the sections,
// every notification from a box copies its text into the effect and restarts
// the recompile counter, and nothing else changes a section.
#include <string>
#include <vector>

#include "panel_fixture.h"

using effect::EffectBase;

namespace {

const Sections kLoaded = {"init = 1;\r\nseed = 7;", "n = 3;", "beat = 1;", "x1 = i;\r\ny1 = 0;\r\nskip = 0;"};

TEST_F(PanelTest, OpensAHiddenChildOfTheHostWindow) {
    EffectBase& effect = newEffect();
    const HWND panel = openPanel(effect);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(IsWindowVisible(panel));
    EXPECT_FALSE(hasVisibleStyle(panel));
    EXPECT_EQ(GetParent(panel), parent);
    EXPECT_NE(GetWindowLongA(panel, GWL_STYLE) & WS_CHILD, 0);
}

TEST_F(PanelTest, CodeBoxesShowTheLoadedSections) {
    EffectBase& effect = newEffect();
    load(effect, kLoaded);
    const HWND panel = openPanel(effect);
    EXPECT_EQ(windowText(control(panel, kInitEdit)), kLoaded[0]);
    EXPECT_EQ(windowText(control(panel, kFrameEdit)), kLoaded[1]);
    EXPECT_EQ(windowText(control(panel, kBeatEdit)), kLoaded[2]);
    EXPECT_EQ(windowText(control(panel, kTriangleEdit)), kLoaded[3]);
}

TEST_F(PanelTest, OpeningOnAFreshEffectShowsEmptyBoxesAndChangesNothing) {
    EffectBase& effect = newEffect();
    settle(effect);
    const HWND panel = openPanel(effect);
    for (int id : {kInitEdit, kFrameEdit, kBeatEdit, kTriangleEdit}) EXPECT_EQ(windowText(control(panel, id)), "");
    EXPECT_EQ(sections(effect), (Sections{"", "", "", ""}));
    EXPECT_TRUE(render(effect, 40).empty()) << "opening the panel is no edit";
}

struct CodeBox {
    const char* name;
    int id;
    size_t section;
};

class CodeBoxTest : public PanelTest, public testing::WithParamInterface<CodeBox> {};

TEST_P(CodeBoxTest, PastedTextReplacesThatSectionOnly) {
    // Emptying a box leaves an empty section, never a missing one.
    for (const char* text : {"a = 2;\r\nb = a;", ""}) {
        EffectBase& effect = newEffect();
        load(effect, kLoaded);
        const HWND panel = openPanel(effect);
        pasteOver(control(panel, GetParam().id), text);
        Sections expected = kLoaded;
        expected[GetParam().section] = text;
        EXPECT_EQ(sections(effect), expected) << "pasted: '" << text << "'";
    }
}

TEST_P(CodeBoxTest, TypingRecompilesOnThe21stFrameAfterwards) {
    EffectBase& effect = newEffect();
    load(effect, kLoaded);
    settle(effect);
    const HWND panel = openPanel(effect);
    const HWND edit = control(panel, GetParam().id);
    SendMessageA(edit, EM_SETSEL, 0x7FFF, 0x7FFF);  // caret to the end, as a click there would
    typeKeys(edit, "z");
    Sections expected = kLoaded;
    expected[GetParam().section] += "z";
    EXPECT_TRUE(render(effect, 20).empty()) << "the old sections keep running for 20 frames";
    EXPECT_EQ(render(effect, 1), std::vector<std::string>(expected.begin(), expected.end()));
    EXPECT_TRUE(render(effect, 30).empty()) << "then the counter rests";
}

INSTANTIATE_TEST_SUITE_P(Boxes, CodeBoxTest,
                         testing::Values(CodeBox{"Init", kInitEdit, 0}, CodeBox{"Frame", kFrameEdit, 1},
                                         CodeBox{"Beat", kBeatEdit, 2}, CodeBox{"Triangle", kTriangleEdit, 3}),
                         [](const testing::TestParamInfo<CodeBox>& param) { return std::string(param.param.name); });

TEST_F(PanelTest, LinesTypedWithEnterKeepCarriageReturnAndLineFeed) {
    EffectBase& effect = newEffect();
    const HWND panel = openPanel(effect);
    typeKeys(control(panel, kFrameEdit), "a=1;\rb=2;\rc=3;");
    EXPECT_EQ(sections(effect)[1], "a=1;\r\nb=2;\r\nc=3;");
}

TEST_F(PanelTest, ContinuedTypingPostponesTheRecompilation) {
    EffectBase& effect = newEffect();
    settle(effect);
    const HWND panel = openPanel(effect);
    typeKeys(control(panel, kBeatEdit), "a");
    EXPECT_TRUE(render(effect, 15).empty());
    typeKeys(control(panel, kBeatEdit), "b");
    EXPECT_TRUE(render(effect, 20).empty());
    EXPECT_EQ(render(effect, 1), (std::vector<std::string>{"", "", "ab", ""}));
}

// Sections replaced behind the panel's back (a preset loaded while it is open)
// show which messages copy a box's text and which do not.
class StalePanelTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        effect = &newEffect();
        load(*effect, kLoaded);
        settle(*effect);
        panel = openPanel(*effect);
        load(*effect, kReloaded);
    }
    const Sections kReloaded = {"reloaded init", "reloaded frame", "reloaded beat", "reloaded triangle"};
    EffectBase* effect = nullptr;
    HWND panel = nullptr;
};

TEST_F(StalePanelTest, CommandsFromOtherControlsChangeNothing) {
    const int otherIds[] = {kInitLabel, kFrameLabel, kBeatLabel, kTriangleLabel, 0, 1, 2, 109, 1001, 1010, 0xFFFF};
    for (int id : otherIds) {
        notify(panel, id, EN_CHANGE);
        notify(panel, id, BN_CLICKED);
    }
    EXPECT_EQ(sections(*effect), kReloaded);
    EXPECT_TRUE(render(*effect, 40).empty()) << "no edit, no recompilation";
}

class NotificationTest : public StalePanelTest, public testing::WithParamInterface<WORD> {};

// Whatever the notification, it copies the box's whole text and counts as an edit.
TEST_P(NotificationTest, CopiesTheBoxTextAndRestartsTheCounter) {
    notify(panel, kBeatEdit, GetParam());
    Sections expected = kReloaded;
    expected[2] = kLoaded[2];
    EXPECT_EQ(sections(*effect), expected);
    EXPECT_TRUE(render(*effect, 20).empty());
    EXPECT_EQ(render(*effect, 1).size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Codes, NotificationTest,
                         testing::Values(EN_CHANGE, EN_UPDATE, EN_SETFOCUS, EN_KILLFOCUS, EN_VSCROLL, EN_HSCROLL,
                                         EN_MAXTEXT, 0x7777));

TEST_F(PanelTest, APanelOnAnotherEffectEditsThatEffectOnly) {
    EffectBase& first = newEffect();
    EffectBase& second = newEffect();
    load(first, kLoaded);
    load(second, {"b init", "b frame", "b beat", "b triangle"});
    settle(first);
    settle(second);

    DestroyWindow(openPanel(first));
    const HWND panel = openPanel(second);
    EXPECT_EQ(windowText(control(panel, kInitEdit)), "b init");
    pasteOver(control(panel, kTriangleEdit), "b edited");

    EXPECT_EQ(sections(second), (Sections{"b init", "b frame", "b beat", "b edited"}));
    EXPECT_EQ(sections(first), kLoaded);
    EXPECT_TRUE(render(first, 40).empty()) << "the first effect's counter was not restarted";
    EXPECT_TRUE(render(second, 20).empty());
    EXPECT_EQ(render(second, 1).size(), 4u);
}

TEST_F(PanelTest, AfterDestroyNotificationsChangeNothing) {
    EffectBase& effect = newEffect();
    load(effect, kLoaded);
    settle(effect);
    const HWND panel = openPanel(effect);
    // The panel's records go at WM_DESTROY; the window itself stays for the test.
    SendMessageA(panel, WM_DESTROY, 0, 0);
    pasteOver(control(panel, kFrameEdit), "too late");
    notify(panel, kInitEdit, EN_CHANGE);
    EXPECT_EQ(sections(effect), kLoaded);
    EXPECT_TRUE(render(effect, 40).empty());
}

// A host that opens a second panel before destroying the first: the records
// belong to the newer panel, and the older one can neither edit through them
// nor take them away when it goes.
TEST_F(PanelTest, AnOlderPanelLeftOpenCannotDisturbTheNewOne) {
    EffectBase& first = newEffect();
    EffectBase& second = newEffect();
    load(first, kLoaded);
    load(second, {"b init", "b frame", "b beat", "b triangle"});
    settle(first);
    settle(second);
    const HWND older = openPanel(first);
    const HWND newer = openPanel(second);

    pasteOver(control(older, kBeatEdit), "typed into the old panel");
    EXPECT_EQ(sections(first), kLoaded);
    EXPECT_EQ(sections(second), (Sections{"b init", "b frame", "b beat", "b triangle"}));
    EXPECT_TRUE(render(second, 40).empty()) << "the old panel's notification is no edit of the new one";

    DestroyWindow(older);
    pasteOver(control(newer, kBeatEdit), "typed into the new panel");
    EXPECT_EQ(sections(second), (Sections{"b init", "b frame", "typed into the new panel", "b triangle"}));
    EXPECT_TRUE(render(first, 40).empty());
}

}  // namespace
