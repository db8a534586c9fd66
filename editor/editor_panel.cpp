#include "editor/editor_panel.h"

#include "editor/editor_dialog.h"
#include "resources/panel_ids.h"

namespace editor {

// The creation parameter is 0: the panel finds its effect through editedEffect().
effect::WindowHandle openEditorPanel(effect::ModuleHandle moduleInstance, effect::WindowHandle parentWindow) {
    return CreateDialogParamA(static_cast<HINSTANCE>(moduleInstance), MAKEINTRESOURCEA(IDD_EDITOR_PANEL),
                              static_cast<HWND>(parentWindow), editorDialogProc, 0);
}

}  // namespace editor
