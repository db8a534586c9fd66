#include "font/glyph_table.h"

#include <algorithm>

namespace font {

const Glyph* findGlyph(char c) {
    const Glyph* found = std::lower_bound(glyphsBegin(), glyphsEnd(), c,
                                          [](const Glyph& glyph, char key) { return glyph.character < key; });
    return found != glyphsEnd() && found->character == c ? found : nullptr;
}

}  // namespace font
