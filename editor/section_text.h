// Reading a code box back into a section string.
#pragma once

#include "editor/layout_slot.h"

namespace editor {

// The edit's whole text as a new code string (TriangleEffect::newCodeString),
// empty for a slot without a control or an empty edit; null when out of memory.
char* readSectionText(const LayoutSlot& slot);

}  // namespace editor
