// The editor panel's dialog procedure.
#pragma once

#include <windows.h>

namespace editor {

// Every path returns FALSE, so the dialog manager's default handling always
// follows (and WM_INITDIALOG sets no initial focus).
INT_PTR CALLBACK editorDialogProc(HWND panelWindow, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace editor
