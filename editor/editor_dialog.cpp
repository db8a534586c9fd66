#include "editor/editor_dialog.h"

#include "editor/panel_slots.h"
#include "editor/section_text.h"
#include "effect/editor_panel.h"
#include "effect/triangle_effect.h"
#include "resources/panel_ids.h"

namespace {

struct CodeBox {
    int id;
    panel::SlotIndex slot;
    Section section;
};

const CodeBox kCodeBoxes[] = {
    {IDC_INIT_EDIT, panel::kInitEdit, Section::Init},
    {IDC_FRAME_EDIT, panel::kFrameEdit, Section::Frame},
    {IDC_BEAT_EDIT, panel::kBeatEdit, Section::Beat},
    {IDC_TRIANGLE_EDIT, panel::kTriangleEdit, Section::Triangle},
};

struct Label {
    int id;
    panel::SlotIndex slot;
};

// The Init edit keeps its top and height, so its label never moves and has no record.
const Label kMovingLabels[] = {
    {IDC_FRAME_LABEL, panel::kFrameLabel},
    {IDC_BEAT_LABEL, panel::kBeatLabel},
    {IDC_TRIANGLE_LABEL, panel::kTriangleLabel},
};

// The panel whose controls the records describe. A host that opens a second
// panel before destroying the first must not let the old one's messages
// lay out, read or release the new one's controls.
HWND g_recordedPanel = nullptr;

void showSection(HWND edit, Section section) {
    TriangleEffect* effect = editedEffect();
    if (effect == nullptr) return;
    char* text = effect->copySection(section);
    if (text == nullptr) return;
    SetWindowTextA(edit, text);
    TriangleEffect::freeCodeString(text);
}

void initPanel(HWND panelWindow) {
    panel::releaseSlots();
    g_recordedPanel = panelWindow;
    for (const CodeBox& box : kCodeBoxes) {
        const HWND edit = GetDlgItem(panelWindow, box.id);
        // The record exists before the text is set, so a notification that
        // setting it may send is handled like any other.
        panel::createSlot(box.slot, edit);
        showSection(edit, box.section);
    }
    for (const Label& label : kMovingLabels) panel::createSlot(label.slot, GetDlgItem(panelWindow, label.id));
}

// Any notification from a code box counts as an edit: copy its whole text.
void takeEdit(int id) {
    for (const CodeBox& box : kCodeBoxes) {
        if (box.id != id) continue;
        const LayoutSlot* record = panel::slot(box.slot);
        TriangleEffect* effect = editedEffect();
        if (record == nullptr || effect == nullptr) return;
        // Out of memory (a null text): the section keeps its string and
        // nothing needs recompiling.
        effect->acceptEdit(box.section, readSectionText(*record));
        return;
    }
}

}  // namespace

INT_PTR CALLBACK editorDialogProc(HWND panelWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initPanel(panelWindow);
            break;
        case WM_COMMAND:
            if (panelWindow == g_recordedPanel) takeEdit(LOWORD(wParam));
            break;
        case WM_SIZE:
            if (panelWindow == g_recordedPanel) layoutPanel(LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_DESTROY:
            if (panelWindow == g_recordedPanel) {
                panel::releaseSlots();
                g_recordedPanel = nullptr;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

WindowHandle openEditorPanel(ModuleHandle moduleInstance, WindowHandle parentWindow) {
    return CreateDialogParamA(static_cast<HINSTANCE>(moduleInstance), MAKEINTRESOURCEA(IDD_EDITOR_PANEL),
                              static_cast<HWND>(parentWindow), editorDialogProc, 0);
}
