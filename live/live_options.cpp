#include "live/live_options.h"

#include <map>

#include "frontend/version.h"

namespace live {

namespace {

// triangle-render's options that write files; the window replaces them.
const char* const kRenderOnly[] = {"--out",          "--frames-dir",   "--sheet",         "--sheet-count",
                                   "--save-block",   "--video",        "--video-quality", "--video-speed",
                                   "--video-chroma", "--video-dither", "--force"};

const std::map<std::string, bool LiveOptions::*>& liveSwitches() {
    static const std::map<std::string, bool LiveOptions::*> table = {
        {"--loop", &LiveOptions::loop},
        {"--paused", &LiveOptions::startPaused},
        {"--unpaced", &LiveOptions::unpaced},
    };
    return table;
}

std::string optionName(const std::string& arg) { return arg.substr(0, arg.find('=')); }

ParsedLiveCommandLine failure(std::string message) {
    ParsedLiveCommandLine result;
    result.outcome = ParsedLiveCommandLine::Outcome::Error;
    result.error = std::move(message);
    return result;
}

}  // namespace

ParsedLiveCommandLine parseLiveCommandLine(const std::vector<std::string>& args) {
    ParsedLiveCommandLine result;
    LiveOptions& options = result.options;
    // Our own options are taken out; the rest go to triangle-render's parser.
    std::vector<std::string> shared;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            shared.push_back(arg);
            continue;
        }
        if (arg == "--") optionsEnded = true;
        const std::string name = optionName(arg);
        if (auto toggle = liveSwitches().find(arg); toggle != liveSwitches().end()) {
            options.*(toggle->second) = true;
            continue;
        }
        if (liveSwitches().count(name) != 0) return failure(name + " takes no value");
        if (name == "--input") {
            options.input = true;
            if (arg.size() > name.size()) {
                options.inputDevice = arg.substr(name.size() + 1);
                if (options.inputDevice.empty()) return failure("--input=: an empty device name");
            }
            continue;
        }
        for (const char* refused : kRenderOnly)
            if (name == refused)
                return failure(name + " is triangle-render's: the window shows the frames (S saves one)");
        shared.push_back(arg);
    }

    previewer::ParsedCommandLine parsed = previewer::parseCommandLine(shared);
    switch (parsed.outcome) {
        case previewer::ParsedCommandLine::Outcome::Help:
            result.outcome = ParsedLiveCommandLine::Outcome::Help;
            return result;
        case previewer::ParsedCommandLine::Outcome::Version:
            result.outcome = ParsedLiveCommandLine::Outcome::Version;
            return result;
        case previewer::ParsedCommandLine::Outcome::Error:
            return failure(parsed.error);
        case previewer::ParsedCommandLine::Outcome::Run:
            break;
    }
    options.render = parsed.options;
    if (options.input && !options.render.audioFile.empty()) return failure("--audio and --input: give one");
    if (options.loop && options.render.audioFile.empty()) return failure("--loop goes with --audio");
    result.outcome = ParsedLiveCommandLine::Outcome::Run;
    return result;
}

std::string liveUsageText() {
    return std::string("triangle-live ") + frontend::kVersion + R"(: plays "Render / Triangle" presets in a window

Usage: triangle-live [options] PRESET [PRESET ...]

Each PRESET is one effect instance, drawn in the order given into one frame
buffer, as in triangle-render. The preset files are watched: a saved change
reaches the effects as the host's editor panel hands it over, and the
scripts are recompiled on the 21st frame after the last change.

Options shared with triangle-render (see its --help):
  --size WxH  --blend MODE[:RATIO]  --beat-every K  --fill 0xAARRGGBB  --clear
  --audio FILE  --fps N  --start SECONDS  --beats WHICH  --log-frames FILE
  --frames N             end after N frames (default: play until closed)
Options of its own:
  --loop                 start the song again at its end (with --audio)
  --input[=DEVICE]       the sound of a recording device (default device
                         without =DEVICE) instead of a song
  --paused               draw frame 0 and wait (space plays)
  --unpaced              draw frames as fast as they come (no --fps pacing)

Keys:
  space  pause / play        Right  one frame while paused
  B      a beat now          0-9    blend mode
  C      clear the frame     S      screenshot (PNG, name printed)
  R      restart at frame 0  V      record a video (MP4, with the sound) / stop
  O      overlay: fps, frame, blend mode, levels
  F      full screen         H      this help in the window
  Q, Esc quit

Exit status: 0 closed, 2 a mistake on the command line or no display.
)";
}

}  // namespace live
