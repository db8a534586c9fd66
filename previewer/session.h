// One render run: an effect per preset, drawn in order into one frame buffer
// that persists from frame to frame, as in the host.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "previewer/image.h"
#include "previewer/options.h"
#include "previewer/preset_file.h"
#include "standin/music_frame.h"

class TriangleEffect;

namespace previewer {

class Session {
public:
    // Installs the stand-in host with the options' blend-mode word and loads
    // one effect per preset. Null with `error` set when an effect cannot be made.
    static std::unique_ptr<Session> start(const Options& options, const std::vector<PresetFile>& presets,
                                          std::string& error);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Renders frame `number` (0-based) through every effect. Frame 0 starts
    // from the fill word, and so does every frame with --clear.
    void renderFrame(int32_t number);

    const Image& frame() const { return frame_; }
    // The preset block of effect `index`, as its saveConfig writes it.
    std::string savedBlock(size_t index) const;

private:
    explicit Session(const Options& options);

    Options options_;
    Image frame_;
    // The block every script run of a frame reads; silence, but time() and
    // frame_index() count.
    std::unique_ptr<standin::MusicFrame> music_;
    std::vector<TriangleEffect*> effects_;
};

}  // namespace previewer
