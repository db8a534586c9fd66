#include "editor/section_text.h"

#include <cstring>
#include <new>

#include "effect/triangle_effect.h"

namespace editor {

char* readSectionText(const LayoutSlot& slot) {
    const int length = slot.control != nullptr ? GetWindowTextLengthA(slot.control) : 0;
    if (length <= 0) return effect::TriangleEffect::newCodeString("", 0);

    char* buffer = new (std::nothrow) char[static_cast<size_t>(length) + 1];
    if (buffer == nullptr) return nullptr;
    // The reported length may exceed what GetWindowTextA delivers (double-byte
    // code pages), so the copy ends at the first NUL.
    buffer[0] = '\0';
    buffer[length] = '\0';
    GetWindowTextA(slot.control, buffer, length + 1);
    char* text = effect::TriangleEffect::newCodeString(buffer, std::strlen(buffer));
    delete[] buffer;
    return text;
}

}  // namespace editor
