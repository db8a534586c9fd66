#include "editor/panel_layout.h"

namespace editor {
namespace {

bool usable(const SlotState& slot) { return slot.present && slot.hasControl; }

// Sizes one of the three lower edits; `above` is the edit it stacks under,
// null for the Frame edit, whose top stays where the template put it, and for
// an edit below one that has no window and so no real top to stack under.
Placement placeEdit(const SlotState& slot, const Placement* above, int32_t clientWidth, int32_t height) {
    Placement result;
    result.place = slot.hasControl;
    result.box = slot.box;
    if (above != nullptr) result.box.top = above->box.top + above->box.height;
    result.box.height = height;
    result.box.width = clientWidth - kWidthMargin;
    return result;
}

Placement centreLabel(const SlotState& label, const Placement& edit) {
    Placement result;
    result.place = label.hasControl;
    result.box = label.box;
    result.box.top = (edit.box.height - label.box.height) / 2 + edit.box.top;
    return result;
}

}  // namespace

PanelPlacements computePanelLayout(const PanelSlots& current, int32_t clientWidth, int32_t clientHeight) {
    PanelPlacements out;
    const SlotState* in = current.slots;
    const int32_t sharedHeight = clientHeight - kReservedHeight;

    if (in[kInitEdit].present) {
        Placement& init = out.slots[kInitEdit];
        init.place = in[kInitEdit].hasControl;
        init.box = in[kInitEdit].box;
        init.box.width = clientWidth - kWidthMargin;
    }

    struct Step {
        SlotIndex edit;
        SlotIndex label;
        int32_t share;
    };
    const Step steps[] = {{kFrameEdit, kFrameLabel, 4}, {kBeatEdit, kBeatLabel, 3}, {kTriangleEdit, kTriangleLabel, 5}};
    const Step* previous = nullptr;
    for (const Step& step : steps) {
        const SlotState& edit = in[step.edit];
        if (edit.present) {
            const bool stacks = previous != nullptr && usable(in[previous->edit]);
            const Placement* above = stacks ? &out.slots[previous->edit] : nullptr;
            out.slots[step.edit] = placeEdit(edit, above, clientWidth, sharedHeight * step.share / 12);
            // Centring on an edit that has no window would use a made-up rectangle.
            if (edit.hasControl && in[step.label].present) {
                out.slots[step.label] = centreLabel(in[step.label], out.slots[step.edit]);
            }
        }
        previous = &step;
    }
    return out;
}

}  // namespace editor
