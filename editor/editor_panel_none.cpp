// Builds without a window system have no editor panel to open.
#include "editor/editor_panel.h"

namespace editor {

effect::WindowHandle openEditorPanel(effect::ModuleHandle, effect::WindowHandle) { return nullptr; }

}  // namespace editor
