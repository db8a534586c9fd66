#include "editor/editor_dialog.h"

#include "editor/panel_slots.h"
#include "editor/section_text.h"
#include "effect/triangle_effect.h"
#include "resources/panel_ids.h"

namespace editor {

namespace {

// The dialog template's ids (resources/panel_ids.h, which the resource script
// reads) are the sections table's.
static_assert(effect::sectionInfo(effect::Section::Init).editId == IDC_INIT_EDIT &&
                  effect::sectionInfo(effect::Section::Frame).editId == IDC_FRAME_EDIT &&
                  effect::sectionInfo(effect::Section::Beat).editId == IDC_BEAT_EDIT &&
                  effect::sectionInfo(effect::Section::Triangle).editId == IDC_TRIANGLE_EDIT,
              "edit ids");
static_assert(effect::sectionInfo(effect::Section::Init).labelId == IDC_INIT_LABEL &&
                  effect::sectionInfo(effect::Section::Frame).labelId == IDC_FRAME_LABEL &&
                  effect::sectionInfo(effect::Section::Beat).labelId == IDC_BEAT_LABEL &&
                  effect::sectionInfo(effect::Section::Triangle).labelId == IDC_TRIANGLE_LABEL,
              "label ids");
static_assert(effect::sectionInfo(effect::Section::Init).labelBitmap == IDB_INIT_LABEL &&
                  effect::sectionInfo(effect::Section::Frame).labelBitmap == IDB_FRAME_LABEL &&
                  effect::sectionInfo(effect::Section::Beat).labelBitmap == IDB_BEAT_LABEL &&
                  effect::sectionInfo(effect::Section::Triangle).labelBitmap == IDB_TRIANGLE_LABEL,
              "label bitmaps");

// The records of the edits come first in section order, then those of the
// labels that move (the Init edit keeps its top and height, so its label
// never moves and has no record).
SlotIndex editSlot(const effect::SectionInfo& info) {
    return static_cast<SlotIndex>(kInitEdit + effect::indexOf(info.section));
}
SlotIndex labelSlot(const effect::SectionInfo& info) {
    return static_cast<SlotIndex>(kFrameLabel + effect::indexOf(info.section) -
                                  effect::indexOf(effect::Section::Frame));
}
static_assert(kTriangleEdit == kInitEdit + 3 && kTriangleLabel == kFrameLabel + 2,
              "records in section order");

// The panel whose controls the records describe. A host that opens a second
// panel before destroying the first must not let the old one's messages
// lay out, read or release the new one's controls.
HWND g_recordedPanel = nullptr;

void showSection(HWND edit, effect::Section section) {
    effect::TriangleEffect* effect = effect::editedEffect();
    if (effect == nullptr) return;
    char* text = effect->copySection(section);
    if (text == nullptr) return;
    SetWindowTextA(edit, text);
    effect::TriangleEffect::freeCodeString(text);
}

void initPanel(HWND panelWindow) {
    releaseSlots();
    g_recordedPanel = panelWindow;
    for (const effect::SectionInfo& info : effect::kSections) {
        const HWND edit = GetDlgItem(panelWindow, info.editId);
        // The record exists before the text is set, so a notification that
        // setting it may send is handled like any other.
        createSlot(editSlot(info), edit);
        showSection(edit, info.section);
    }
    for (const effect::SectionInfo& info : effect::kSections) {
        if (info.section != effect::Section::Init) createSlot(labelSlot(info), GetDlgItem(panelWindow, info.labelId));
    }
}

// Any notification from a code box counts as an edit: copy its whole text.
void takeEdit(int id) {
    for (const effect::SectionInfo& info : effect::kSections) {
        if (info.editId != id) continue;
        const LayoutSlot* record = slot(editSlot(info));
        effect::TriangleEffect* effect = effect::editedEffect();
        if (record == nullptr || effect == nullptr) return;
        // Out of memory (a null text): the section keeps its string and
        // nothing needs recompiling.
        effect->acceptEdit(info.section, readSectionText(*record));
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
                releaseSlots();
                g_recordedPanel = nullptr;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace editor
