// One render run: an effect per preset, drawn in order into one frame buffer
// that persists from frame to frame, as in the host.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "previewer/drawing_watch.h"
#include "previewer/image.h"
#include "previewer/options.h"
#include "previewer/preset_file.h"
#include "standin/music_frame.h"

namespace effect {
class TriangleEffect;
}  // namespace effect
namespace host {
struct VisData;
}  // namespace host

namespace previewer {

class Session {
public:
    // Installs the stand-in host with the options' blend-mode word and loads
    // one effect per preset. Null with `error` set when an effect cannot be made.
    // `onTriangle`, when given, runs after each triangle's script.
    static std::unique_ptr<Session> start(const Options& options, const std::vector<PresetFile>& presets,
                                          std::string& error, std::function<void()> onTriangle = nullptr);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Renders frame `number` (0-based) through every effect, handing each
    // the beat flag and the host's per-frame data block. Frame 0 starts
    // from the fill word, and so does every frame with --clear. Returns what
    // kept any effect from drawing.
    std::vector<NothingDrawnNote> renderFrame(int32_t number, bool beat, host::VisData* visData);
    // The same with the beat every --beat-every frames and silence at 60
    // frames a second.
    std::vector<NothingDrawnNote> renderFrame(int32_t number);

    const Image& frame() const { return frame_; }
    // Refills the frame buffer with the fill word, as --clear does.
    void clearFrame();

    size_t effectCount() const { return effects_.size(); }
    // What the editor panel does for one code box of effect `index`: the
    // section's text replaced, then the recompile counter restarted, so the
    // effect recompiles all four sections on the 21st frame from now.
    // False when out of memory (the section is kept).
    bool editSection(size_t index, effect::Section section, const std::string& text);
    // The effect's recompile counter (it rests at 21 once compiled).
    int32_t recompileCounter(size_t index) const;
    // Effect `index`, in preset order (an editor hands it its edits).
    effect::TriangleEffect* effect(size_t index) const { return effects_.at(index); }
    // The preset block of effect `index`, as its saveConfig writes it.
    std::string savedBlock(size_t index) const;

private:
    Session(const Options& options, std::function<void()> onTriangle);

    Options options_;
    DrawingWatch watch_;
    Image frame_;
    // The block of the one-argument renderFrame: silence, but time() and
    // frame_index() count.
    std::unique_ptr<standin::MusicFrame> music_;
    std::vector<effect::TriangleEffect*> effects_;
};

}  // namespace previewer
