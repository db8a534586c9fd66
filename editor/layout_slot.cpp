#include "editor/layout_slot.h"

namespace editor {

void LayoutSlot::refresh() {
    if (control == nullptr) return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(control, &placement);
    const RECT& normal = placement.rcNormalPosition;
    left = normal.left;
    top = normal.top;
    width = normal.right - normal.left;
    height = normal.bottom - normal.top;
}

void LayoutSlot::apply() const {
    if (control == nullptr) return;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(control, &placement);
    // SetWindowPlacement also applies showCmd: repeat what the control is now.
    const bool visible = (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
    placement.showCmd = visible ? SW_SHOW : SW_HIDE;
    placement.rcNormalPosition.left = left;
    placement.rcNormalPosition.top = top;
    placement.rcNormalPosition.right = left + width;
    placement.rcNormalPosition.bottom = top + height;
    SetWindowPlacement(control, &placement);
}

void LayoutSlot::setBox(const ControlBox& box) {
    left = box.left;
    top = box.top;
    width = box.width;
    height = box.height;
}

}  // namespace editor
