// The editor panel lives at the platform edge; the effect only asks for it.
#pragma once

#include "effect/effect_base.h"

// Creates the hidden editor panel for editedEffect() as a child of
// parentWindow; null when no panel can be made.
WindowHandle openEditorPanel(ModuleHandle moduleInstance, WindowHandle parentWindow);
