// Builds without a window system have no editor panel to open.
#include "effect/editor_panel.h"

WindowHandle openEditorPanel(ModuleHandle, WindowHandle) { return nullptr; }
