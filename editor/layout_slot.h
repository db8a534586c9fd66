// The layout record of one panel control: its window and its restored
// rectangle as the window-placement calls report it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "editor/panel_layout.h"

namespace editor {

struct LayoutSlot {
    explicit LayoutSlot(HWND window) : control(window) {}

    // Reads the control's restored rectangle into the fields (nothing without a control).
    void refresh();
    // Writes the fields back as the restored rectangle, keeping the control's
    // visibility and other placement members (nothing without a control).
    void apply() const;

    ControlBox box() const { return {left, top, width, height}; }
    void setBox(const ControlBox& box);

    const HWND control;
    // Zero until the first refresh; only read for a slot without a control.
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;
    int32_t top = 0;
};

}  // namespace editor
