// The text drawn over the frame in the project's bitmap font: the status
// (fps, frame, blend mode, beat flash, levels) when asked for, the key help,
// and always the lines that say what is wrong with a preset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "live/render_thread.h"
#include "previewer/image.h"

namespace live {

struct OverlayChoice {
    bool status = false;
    bool help = false;
};

// The status lines for a snapshot, in the font's capitals.
std::vector<std::string> statusLines(const FrameSnapshot& snapshot);
std::vector<std::string> helpLines();

// A picture of 0xAARRGGBB words no wider than `maxWidth`, with a dark
// translucent ground; empty (0 x 0) when there is nothing to show.
previewer::Image drawOverlay(const FrameSnapshot& snapshot, const OverlayChoice& choice, int32_t maxWidth);

}  // namespace live
