// The editor panel as the module hands it to the effect (the effect itself
// knows no window system).
#pragma once

#include "effect/effect_base.h"

namespace editor {

// Creates the hidden editor panel for editedEffect() as a child of
// parentWindow; null when no panel can be made, and always null in builds
// without a window system.
effect::WindowHandle openEditorPanel(effect::ModuleHandle moduleInstance, effect::WindowHandle parentWindow);

}  // namespace editor
