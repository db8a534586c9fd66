// What each key does in the window: one table.
#pragma once

#include "live/sdl_window.h"

namespace live {

enum class Action {
    None,
    Quit,
    TogglePause,
    Step,
    Beat,
    BlendMode,
    Clear,
    Screenshot,
    Record,
    Restart,
    Help,
    Overlay,
    Fullscreen
};

struct KeyAction {
    Action action = Action::None;
    int value = 0;  // the blend mode for BlendMode
};

KeyAction actionFor(const KeyPress& press);

}  // namespace live
