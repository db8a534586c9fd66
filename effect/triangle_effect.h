// The effect object the host creates for each use of "Render / Triangle".
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "effect/effect_base.h"
#include "effect/script_vars.h"
#include "effect/sections.h"
#include "host/host_services.h"
#include "host/spin_lock.h"

namespace effect {

class TriangleEffect final : public EffectBase {
public:
    static constexpr int32_t kRecompileFrame = 20;
    static constexpr int32_t kCounterRest = 21;
    // What getDescription gives and the factory writes into the host's buffer.
    static constexpr char kDescription[] = "Render / Triangle";

    // Null when memory is exhausted.
    static TriangleEffect* create();

    EffectBase* EFFECT_CALL destroy(uint32_t flags) override;
    int32_t EFFECT_CALL renderFrame(host::VisData* visData, int32_t isBeat, uint32_t* frameBuffer,
                                    uint32_t* altFrameBuffer, int32_t width, int32_t height) override;
    WindowHandle EFFECT_CALL openEditor(ModuleHandle moduleInstance, WindowHandle parentWindow) override;
    const char* EFFECT_CALL getDescription() override;
    void EFFECT_CALL loadConfig(const unsigned char* data, int32_t length) override;
    int32_t EFFECT_CALL saveConfig(unsigned char* buffer) override;

    // Replaces one section with a heap string from newCodeString(), taking
    // ownership. Safe against a renderer compiling on another thread. A null
    // text (allocation failed) keeps the section as it is.
    void adoptSection(Section section, char* text);
    // Copies text into a new string and adopts it; false when out of memory.
    bool replaceSection(Section section, const char* text);
    // Restarts the recompile counter: the sections recompile on the 21st frame.
    void restartRecompileCounter() { framesSinceEdit.store(0); }
    // What one notification from a code box does: adopts the box's text (a
    // heap string from newCodeString(); null does nothing) and then restarts
    // the counter, so a recompile never finds the counter reset before the text.
    void acceptEdit(Section section, char* text);

    // Copy of a section's current text, for tests and tools (caller frees with
    // freeCodeString).
    char* copySection(Section section) const;
    int32_t recompileCounter() const { return framesSinceEdit.load(); }
    bool variablesBound() const { return varsBound; }

    static int32_t liveInstanceCount();

    static char* newCodeString(const char* bytes, size_t length);
    static void freeCodeString(char* text);

private:
    TriangleEffect();
    ~TriangleEffect();

    // Copies of the four texts taken together, so they come from one
    // consistent set; false (and nothing allocated) when out of memory.
    bool copySections(char* (&texts)[kSectionCount]) const;

    // Drives the frames on the fields below (effect/frame_driver.h).
    friend class FrameDriver;
    friend struct TriangleEffectLayout;

    // Field order follows the host-side description of the object: the four
    // code strings and the four handles in section order.
    std::atomic<int32_t> framesSinceEdit;
    char* code[kSectionCount];
    bool varsBound;
    host::ScriptContext context;
    host::CodeHandle handle[kSectionCount];
    ScriptVars vars;

    // Guards the four code strings against replacement while they are read.
    mutable host::SpinLock codeLock;
    // Stands in for any variable the host failed to give, so a bad host
    // cannot make the driver write through null.
    double orphanVariables[kScriptVarCount];
};

// The effect the editor panel shows and edits (one panel per process).
TriangleEffect* editedEffect();
void setEditedEffect(TriangleEffect* effect);

// How openEditor makes the panel. The panel lives at the window-system edge
// (editor/), above the effect; the module installs it. Without one,
// openEditor gives null.
using PanelOpener = WindowHandle (*)(ModuleHandle moduleInstance, WindowHandle parentWindow);
void setPanelOpener(PanelOpener opener);

}  // namespace effect
