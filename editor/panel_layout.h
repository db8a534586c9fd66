// The editor panel's resize arithmetic, kept free of any window system: the
// platform layer reports the controls' rectangles, this decides where they go.
#pragma once

#include <cstdint>

namespace editor {

// A control's restored rectangle in pixels, relative to the panel's client area.
struct ControlBox {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// The seven controls that follow the panel's size (the Init label never moves).
enum SlotIndex : int {
    kInitEdit,
    kFrameEdit,
    kBeatEdit,
    kTriangleEdit,
    kFrameLabel,
    kBeatLabel,
    kTriangleLabel,
    kSlotCount
};

struct SlotState {
    bool present = false;     // the panel holds a layout record for the control
    bool hasControl = false;  // the record found its window
    ControlBox box{};         // as last reported; meaningless without a control
};

struct PanelSlots {
    SlotState slots[kSlotCount];
};

struct Placement {
    bool place = false;  // write `box` back to the control
    ControlBox box{};
};

struct PanelPlacements {
    Placement slots[kSlotCount];
};

// Pixels taken off the client height before the Frame, Beat and Triangle edits
// share it 4 : 3 : 5, and by which every edit is narrower than the client.
constexpr int32_t kReservedHeight = 45;
constexpr int32_t kWidthMargin = 9;

// One layout pass for the given client size. Nothing is clamped; divisions
// truncate toward zero. Controls without a record or a window are not placed,
// nor are labels of such edits, and an edit below one of them keeps its top.
PanelPlacements computePanelLayout(const PanelSlots& current, int32_t clientWidth, int32_t clientHeight);

}  // namespace editor
