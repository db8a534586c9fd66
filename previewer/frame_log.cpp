#include "previewer/frame_log.h"

#include <cstdio>

namespace previewer {

void FrameLog::add(const standin::MusicFrame& frame, bool beat) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "{\"frame\":%.0f,\"time\":%.6f,\"beat\":%s,\"bass\":%.4f,\"mid\":%.4f,\"treble\":%.4f,\"tempo\":%.2f}\n",
                  frame.frameIndex, frame.time, beat ? "true" : "false", frame.bass, frame.mid, frame.treble,
                  frame.tempo);
    text_ += line;
}

}  // namespace previewer
