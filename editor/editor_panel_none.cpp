// Builds without a window system have no editor panel to open.
#include "editor/editor_panel.h"

namespace editor {

WindowHandle openEditorPanel(ModuleHandle, WindowHandle) { return nullptr; }

}  // namespace editor
