// The effect's four script sections, as one table: the effect, the editor
// panel, the preset block, the preset-text reader and the previewer all take
// the list of sections, their order and their names from here.
#pragma once

namespace effect {

enum class Section : int { Init = 0, Frame = 1, Beat = 2, Triangle = 3 };
constexpr int kSectionCount = 4;

struct SectionInfo {
    Section section;
    const char* name;   // as a preset text's header writes it: [init]
    int editId;         // the panel's code box
    int labelId;        // the panel's label beside it
    int labelBitmap;    // the label's bitmap resource
};

// In preset order, which is also the order of the effect's fields.
constexpr SectionInfo kSections[kSectionCount] = {
    {Section::Init, "init", 1003, 1002, 112},
    {Section::Frame, "frame", 1005, 1004, 111},
    {Section::Beat, "beat", 1007, 1006, 113},
    {Section::Triangle, "triangle", 1009, 1008, 110},
};

constexpr int indexOf(Section section) { return static_cast<int>(section); }
constexpr const SectionInfo& sectionInfo(Section section) { return kSections[indexOf(section)]; }

static_assert(kSections[0].section == Section::Init && kSections[1].section == Section::Frame &&
                  kSections[2].section == Section::Beat && kSections[3].section == Section::Triangle,
              "each row sits at its section's index");

}  // namespace effect
