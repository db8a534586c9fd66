#include "previewer/script_lint.h"

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "effect/script_vars.h"
#include "standin/context.h"
#include "standin/lexer.h"
#include "standin/standin_host.h"

namespace previewer {
namespace {

enum SectionIndex { kInit = 0, kFrame = 1, kBeat = 2, kTriangle = 3 };

struct NameUse {
    std::string name;  // lower case
    standin::SourcePos pos;
    bool reads = false;
    bool writes = false;
};

bool isAssignment(standin::Tok kind) {
    using standin::Tok;
    return kind == Tok::Assign || kind == Tok::PlusAssign || kind == Tok::MinusAssign || kind == Tok::StarAssign ||
           kind == Tok::SlashAssign;
}

// The variables a text reads and writes, in order. Calls, memory and pi are
// not variables; a compound assignment both reads and writes.
std::vector<NameUse> variableUses(const std::string& text) {
    std::vector<NameUse> uses;
    standin::Lexer lexer(text.c_str());
    standin::Token token = lexer.next();
    while (token.kind != standin::Tok::End) {
        const standin::Token next = lexer.next();
        if (token.kind == standin::Tok::Name) {
            const std::string name = standin::Context::lowerCase(token.text);
            const bool call = next.kind == standin::Tok::LParen;
            const bool memory = next.kind == standin::Tok::LBracket && (name == "mem" || name == "shared");
            if (!call && !memory && name != "pi") {
                NameUse use{name, token.pos};
                use.writes = isAssignment(next.kind);
                use.reads = !use.writes || next.kind != standin::Tok::Assign;
                uses.push_back(use);
            }
        }
        token = next;
    }
    return uses;
}

bool isEffectVariable(std::string_view name) {
    return std::any_of(std::begin(effect::kScriptVarSpecs), std::end(effect::kScriptVarSpecs),
                       [name](const effect::ScriptVarSpec& variable) { return name == variable.name; });
}

// One letter added, dropped or changed, or two neighbours swapped. A change
// or swap needs three letters or more, so that short names (a, k, t) are not
// all close to w, h, n and i.
bool oneTypoApart(std::string_view a, std::string_view b) {
    if (a == b) return false;
    if (a.size() > b.size()) std::swap(a, b);
    if (b.size() - a.size() > 1) return false;
    size_t k = 0;
    while (k < a.size() && a[k] == b[k]) ++k;
    if (a.size() < b.size()) return a.substr(k) == b.substr(k + 1);
    if (a.size() < 3) return false;
    if (a.substr(k + 1) == b.substr(k + 1)) return true;
    return k + 1 < a.size() && a[k] == b[k + 1] && a[k + 1] == b[k] && a.substr(k + 2) == b.substr(k + 2);
}

const char* closeEffectVariable(std::string_view name) {
    for (const effect::ScriptVarSpec& variable : effect::kScriptVarSpecs) {
        if (oneTypoApart(name, variable.name)) return variable.name;
    }
    return nullptr;
}

// Effect variables with a value before any script runs: the frame's size,
// the colours and depth settings the effect starts at, and (in the triangle
// section) the triangle's i and skip.
std::set<std::string> setByTheEffect(int section) {
    std::set<std::string> set = {"w", "h"};
    for (const effect::ScriptVarSpec& variable : effect::kScriptVarSpecs) {
        if (variable.hasStartValue) set.insert(variable.name);
    }
    if (section == kTriangle) set.insert({"i", "skip"});
    return set;
}

}  // namespace

std::vector<ScriptProblem> lintPreset(const PresetFile& preset) {
    std::vector<std::vector<NameUse>> uses(kPresetSections);
    for (int s = 0; s < kPresetSections; ++s) {
        if (standin_check_script(preset.sections[s].c_str(), nullptr) == 1) uses[s] = variableUses(preset.sections[s]);
    }

    std::vector<ScriptProblem> warnings;
    const auto warn = [&warnings](int section, standin::SourcePos pos, const std::string& message) {
        warnings.push_back({section, pos.line, pos.column, "warning: " + message});
    };

    // Read before set, on the first frame: init, frame, then beat and
    // triangle, each after init and frame (the beat section does not run on
    // every frame, so what it sets counts for nothing else).
    std::set<std::string> setBefore;  // by init and frame
    std::set<std::string> warned;
    for (int s = kInit; s <= kTriangle; ++s) {
        std::set<std::string> set = setBefore;
        const std::set<std::string> byEffect = setByTheEffect(s);
        set.insert(byEffect.begin(), byEffect.end());
        for (const NameUse& use : uses[s]) {
            if (use.reads && isEffectVariable(use.name) && set.count(use.name) == 0 &&
                warned.insert(use.name).second) {
                warn(s, use.pos, "'" + use.name + "' is read before anything sets it");
            }
            if (use.writes) set.insert(use.name);
        }
        if (s == kInit || s == kFrame) {
            for (const NameUse& use : uses[s]) {
                if (use.writes) setBefore.insert(use.name);
            }
        }
    }

    // Set but never read, and one typo away from an effect variable.
    std::set<std::string> read;
    for (const std::vector<NameUse>& section : uses) {
        for (const NameUse& use : section) {
            if (use.reads) read.insert(use.name);
        }
    }
    std::set<std::string> reported;
    for (int s = kInit; s <= kTriangle; ++s) {
        for (const NameUse& use : uses[s]) {
            if (!use.writes || read.count(use.name) != 0 || isEffectVariable(use.name)) continue;
            const char* meant = closeEffectVariable(use.name);
            if (meant != nullptr && reported.insert(use.name).second) {
                warn(s, use.pos, "'" + use.name + "' is set but never read; did you mean '" + meant + "'?");
            }
        }
    }
    std::stable_sort(warnings.begin(), warnings.end(), [](const ScriptProblem& a, const ScriptProblem& b) {
        if (a.section != b.section) return a.section < b.section;
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    return warnings;
}

}  // namespace previewer
