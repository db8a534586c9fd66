// Drives the module's editor panel the way the host and the user do: effects
// from the factory, a parent window, panels from openEditor, keystrokes.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "loaded_module.h"
#include "recording_host.h"

// Control ids of the panel, and the order of the sections in a preset block.
enum : int { kInitLabel = 1002, kInitEdit = 1003, kFrameLabel = 1004, kFrameEdit = 1005,
             kBeatLabel = 1006, kBeatEdit = 1007, kTriangleLabel = 1008, kTriangleEdit = 1009 };
using Sections = std::array<std::string, 4>;  // init, frame, beat, triangle

class PanelTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    effect::EffectBase& newEffect();
    // Opens a panel on the effect as the host does; remembered for clean-up.
    HWND openPanel(effect::EffectBase& effect);

    static void load(effect::EffectBase& effect, const Sections& sections);
    static Sections sections(effect::EffectBase& effect);
    // Renders frames and returns the texts compiled during them.
    std::vector<std::string> render(effect::EffectBase& effect, int frames);
    // Frames after which the effect has compiled and its counter rests.
    void settle(effect::EffectBase& effect) { render(effect, 1); }

    RecordingHost host;
    HWND parent = nullptr;

private:
    std::vector<EffectPtr> effects_;
    std::vector<HWND> panels_;
};

HWND control(HWND panel, int id);
std::string windowText(HWND window);
// Replaces an edit's whole text as a paste over a full selection would.
void pasteOver(HWND edit, const char* text);
// Keystrokes into an edit, one WM_CHAR per byte ('\r' is Enter).
void typeKeys(HWND edit, const char* keys);
// A notification from an edit to its panel, as the edit itself would send it.
void notify(HWND panel, int id, WORD code);
// A control's rectangle relative to the panel's client area.
RECT placementOf(HWND window);
bool hasVisibleStyle(HWND window);
