// --log-frames: one JSON object per frame, so an author can see why a beat
// section did or did not run.
#pragma once

#include <string>

#include "standin/music_frame.h"

namespace previewer {

class FrameLog {
public:
    void add(const standin::MusicFrame& frame, bool beat);
    // The whole log, one line per frame.
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace previewer
