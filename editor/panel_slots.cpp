#include "editor/panel_slots.h"

#include <new>

namespace editor {
namespace {
LayoutSlot* g_slots[kSlotCount] = {};
}  // namespace

LayoutSlot* slot(SlotIndex index) { return g_slots[index]; }

void createSlot(SlotIndex index, HWND control) {
    delete g_slots[index];
    g_slots[index] = new (std::nothrow) LayoutSlot(control);
}

void releaseSlots() {
    for (LayoutSlot*& record : g_slots) {
        delete record;
        record = nullptr;
    }
}

void layoutPanel(int32_t clientWidth, int32_t clientHeight) {
    PanelSlots current;
    for (int k = 0; k < kSlotCount; ++k) {
        LayoutSlot* record = slot(static_cast<SlotIndex>(k));
        if (record == nullptr) continue;
        record->refresh();
        current.slots[k] = {true, record->control != nullptr, record->box()};
    }
    const PanelPlacements placements = computePanelLayout(current, clientWidth, clientHeight);
    // Each edit before its label, top to bottom.
    const SlotIndex order[] = {kInitEdit, kFrameEdit, kFrameLabel, kBeatEdit, kBeatLabel, kTriangleEdit, kTriangleLabel};
    for (SlotIndex index : order) {
        const Placement& placement = placements.slots[index];
        if (!placement.place) continue;
        LayoutSlot* record = slot(index);
        record->setBox(placement.box);
        record->apply();
    }
}

}  // namespace editor
