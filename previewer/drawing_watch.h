// Watches the scripts through the host's service table, which the effect
// calls for everything it asks of its scripts: it counts the triangles of a
// frame as they are worked out and tells why a frame drew nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/host_services.h"

namespace previewer {

enum class NothingDrawn { NeverSet, CountZero, AllSkipped, AllOffFrame };

struct NothingDrawnNote {
    size_t effect;  // index of the preset
    NothingDrawn cause;
    double n;       // n after the frame script
};

// The sentence for a cause, e.g. "frame 0: n is 0 after the frame script: nothing is drawn".
std::string describeNothingDrawn(const NothingDrawnNote& note, int32_t frame);

// Whether a script text ever names the variable n (a whole word, outside
// comments is not told apart: a comment naming it counts).
bool mentionsCount(const std::string& scriptText);

class DrawingWatch {
public:
    // Wraps `inner`; `onTriangle` runs after each triangle script. One watch
    // may be active at a time.
    DrawingWatch(const host::HostServices* inner, std::function<void()> onTriangle);
    ~DrawingWatch();
    DrawingWatch(const DrawingWatch&) = delete;
    DrawingWatch& operator=(const DrawingWatch&) = delete;

    // The table to hand the effects.
    const host::HostServices* services() const { return &table_; }

    // Effect `index` (in the order their contexts are made) has scripts that
    // never name n.
    void setNeverSetsCount(size_t index, bool never);

    void beginFrame();
    // What each effect that drew nothing this frame ran into.
    std::vector<NothingDrawnNote> endFrame() const;

    struct EffectState;
    struct Code;

private:
    host::HostServices table_;
};

}  // namespace previewer
