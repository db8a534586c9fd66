// The command line of triangle-live: triangle-render's options where they
// mean the same (presets, --size, --blend, --fill, --clear, --beat-every,
// --audio, --fps, --start, --log-frames) and a few of its own.
#pragma once

#include <string>
#include <vector>

#include "previewer/options.h"

namespace live {

struct LiveOptions {
    previewer::Options render;  // the options shared with triangle-render
    bool loop = false;          // --loop: the song starts again at its end
    bool input = false;         // --input [DEVICE]: sound from a recording device
    std::string inputDevice;    // empty: the default device
    bool startPaused = false;   // --paused: frame 0 drawn, then wait for a key
    bool unpaced = false;       // --unpaced: frames as fast as they draw (benchmarks)
    int32_t stopAfter = 0;      // --quit-after N: end after N frames (0: never)
};

struct ParsedLiveCommandLine {
    enum class Outcome { Run, Help, Version, Error };
    Outcome outcome = Outcome::Error;
    LiveOptions options;
    std::string error;  // one line, for Outcome::Error
};

ParsedLiveCommandLine parseLiveCommandLine(const std::vector<std::string>& args);

std::string liveUsageText();

}  // namespace live
