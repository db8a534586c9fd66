// A host whose compiler dispatches window messages on the thread that renders
// (it shows a script error in a message box, or pumps messages while it
// compiles) delivers the panel's notifications in the middle of a
// recompilation. The frame must finish, and the edit must be compiled at the
// next due recompilation, 21 frames later.
#include <functional>
#include <string>
#include <vector>

#include "hang_watchdog.h"
#include "panel_fixture.h"

namespace {

const Sections kLoaded = {"init text", "frame text", "beat text", "triangle text"};

struct Reentry {
    const char* name;
    const char* duringCompileOf;
    std::function<void(HWND panel)> messages;  // sent to the panel from inside compileCode
    Sections compiledOn21stFrame;
};

// The user's text arrives in the box, then the box reports it.
void editAndNotify(HWND panel, int id, const char* text, WORD code) {
    SetWindowTextA(control(panel, id), text);
    notify(panel, id, code);
}

std::vector<Reentry> reentries() {
    return {
        {"ChangeFromTheBoxBeingCompiled", "frame text",
         [](HWND panel) { editAndNotify(panel, kFrameEdit, "frame edited", EN_CHANGE); },
         {"init text", "frame edited", "beat text", "triangle text"}},
        {"ChangeFromABoxAlreadyCompiled", "beat text",
         [](HWND panel) { editAndNotify(panel, kInitEdit, "init edited", EN_CHANGE); },
         {"init edited", "frame text", "beat text", "triangle text"}},
        {"FocusLeavingABoxStillToCompile", "init text",
         [](HWND panel) { editAndNotify(panel, kTriangleEdit, "triangle edited", EN_KILLFOCUS); },
         {"init text", "frame text", "beat text", "triangle edited"}},
        {"TypingIntoABox", "triangle text",
         [](HWND panel) {
             SendMessageA(control(panel, kBeatEdit), EM_SETSEL, 0x7FFF, 0x7FFF);
             typeKeys(control(panel, kBeatEdit), "!");
         },
         {"init text", "frame text", "beat text!", "triangle text"}},
    };
}

class PanelReentranceTest : public PanelTest, public testing::WithParamInterface<Reentry> {};

TEST_P(PanelReentranceTest, FrameFinishesAndTheEditCompilesOnThe21stFrame) {
    const Reentry& row = GetParam();
    effect::EffectBase& effect = newEffect();
    load(effect, kLoaded);
    settle(effect);
    const HWND panel = openPanel(effect);
    // Any notification restarts the counter: one from a box starts a recompilation.
    notify(panel, kInitEdit, EN_SETFOCUS);
    render(effect, 20);

    bool sent = false;
    host.whileCompiling = [&](const std::string& text) {
        if (sent || text != row.duringCompileOf) return;
        sent = true;
        row.messages(panel);
    };
    {
        HangWatchdog watchdog(std::string("a frame whose compiler sends the panel messages: ") + row.name);
        EXPECT_EQ(render(effect, 1), std::vector<std::string>(kLoaded.begin(), kLoaded.end()));
    }
    host.whileCompiling = nullptr;
    ASSERT_TRUE(sent);

    EXPECT_TRUE(render(effect, 20).empty()) << "the old sections keep running for 20 frames";
    EXPECT_EQ(render(effect, 1),
              std::vector<std::string>(row.compiledOn21stFrame.begin(), row.compiledOn21stFrame.end()));
    EXPECT_TRUE(render(effect, 30).empty()) << "then the counter rests";
    EXPECT_EQ(sections(effect), row.compiledOn21stFrame);
}

INSTANTIATE_TEST_SUITE_P(Messages, PanelReentranceTest, testing::ValuesIn(reentries()),
                         [](const testing::TestParamInfo<Reentry>& row) { return std::string(row.param.name); });

}  // namespace
