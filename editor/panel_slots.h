// The panel's layout records. There is one panel per process, so they are
// process-wide, created at WM_INITDIALOG and released at WM_DESTROY.
#pragma once

#include <windows.h>

#include <cstdint>

#include "editor/layout_slot.h"
#include "editor/panel_layout.h"

namespace editor {

// Null when the control has no record: none yet, released, or out of memory.
LayoutSlot* slot(SlotIndex index);
// Creates the record for `control` (which may be null), replacing any old one;
// stays empty when memory runs out.
void createSlot(SlotIndex index, HWND control);
// Releases every record in index order and leaves all seven empty.
void releaseSlots();

// Re-lays the recorded controls for a new client size.
void layoutPanel(int32_t clientWidth, int32_t clientHeight);

}  // namespace editor
