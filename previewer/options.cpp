#include "previewer/options.h"

#include <functional>
#include <map>

#include "previewer/option_values.h"

namespace previewer {

namespace {

using ValueParser = std::function<bool(const std::string& value, Options& options, std::string& error)>;

bool takeInteger(const std::string& value, int32_t min, int32_t max, int32_t& target, std::string& error) {
    return parseInteger(value, min, max, target, error);
}

bool takePath(const std::string& value, std::string& target, std::string& error) {
    if (value.empty()) {
        error = "an empty file name";
        return false;
    }
    target = value;
    return true;
}

bool takeBeatSource(const std::string& value, Options& options, std::string& error) {
    if (value != "none" && value != "music") {
        error = "'" + value + "': use none or music";
        return false;
    }
    options.beatsFromMusic = value == "music";
    return true;
}

const std::map<std::string, ValueParser>& valueOptions() {
    static const std::map<std::string, ValueParser> table = {
        {"--size",
         [](const std::string& v, Options& o, std::string& e) { return parseFrameSize(v, o.width, o.height, e); }},
        {"--frames",
         [](const std::string& v, Options& o, std::string& e) {
             o.framesGiven = true;
             return takeInteger(v, 1, kMaxFrames, o.frames, e);
         }},
        {"--blend", [](const std::string& v, Options& o, std::string& e) { return parseBlend(v, o.blendModeWord, e); }},
        {"--beat-every",
         [](const std::string& v, Options& o, std::string& e) { return takeInteger(v, 0, kMaxFrames, o.beatEvery, e); }},
        {"--fill", [](const std::string& v, Options& o, std::string& e) { return parseHexWord(v, o.fill, e); }},
        {"--sheet-count",
         [](const std::string& v, Options& o, std::string& e) { return takeInteger(v, 1, 100, o.sheetThumbnails, e); }},
        {"--out", [](const std::string& v, Options& o, std::string& e) { return takePath(v, o.outFile, e); }},
        {"--frames-dir", [](const std::string& v, Options& o, std::string& e) { return takePath(v, o.framesDir, e); }},
        {"--sheet", [](const std::string& v, Options& o, std::string& e) { return takePath(v, o.sheetFile, e); }},
        {"--save-block",
         [](const std::string& v, Options& o, std::string& e) { return takePath(v, o.saveBlockFile, e); }},
        {"--audio", [](const std::string& v, Options& o, std::string& e) { return takePath(v, o.audioFile, e); }},
        {"--fps", [](const std::string& v, Options& o, std::string& e) { return takeInteger(v, 1, kMaxFps, o.fps, e); }},
        {"--start",
         [](const std::string& v, Options& o, std::string& e) {
             return parseSeconds(v, kMaxStartSeconds, o.startSeconds, e);
         }},
        {"--beats", [](const std::string& v, Options& o, std::string& e) { return takeBeatSource(v, o, e); }},
        {"--log-frames",
         [](const std::string& v, Options& o, std::string& e) { return takePath(v, o.logFramesFile, e); }},
        {"--video", [](const std::string& v, Options& o, std::string& e) { return takePath(v, o.videoFile, e); }},
        // The range depends on the format, checked once the file name is known.
        {"--video-quality",
         [](const std::string& v, Options& o, std::string& e) { return takeInteger(v, 0, 1000, o.videoQuality, e); }},
        {"--video-speed",
         [](const std::string& v, Options& o, std::string& e) {
             if (v.empty()) {
                 e = "an empty speed";
                 return false;
             }
             o.videoSpeed = v;
             return true;
         }},
        {"--video-chroma",
         [](const std::string& v, Options& o, std::string& e) {
             if (v != "half" && v != "full") {
                 e = "use half (4:2:0, plays everywhere) or full (4:4:4)";
                 return false;
             }
             o.videoFullChroma = v == "full";
             return true;
         }},
    };
    return table;
}

const std::map<std::string, bool Options::*>& switchOptions() {
    static const std::map<std::string, bool Options::*> table = {
        {"--clear", &Options::clearEachFrame},
        {"--strict", &Options::strict},
        {"--quiet", &Options::quiet},
        {"--force", &Options::force},
        {"--video-dither", &Options::videoDither},
    };
    return table;
}

ParsedCommandLine failure(std::string message) {
    ParsedCommandLine result;
    result.outcome = ParsedCommandLine::Outcome::Error;
    result.error = std::move(message);
    return result;
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args) {
    ParsedCommandLine result;
    result.outcome = ParsedCommandLine::Outcome::Run;
    Options& options = result.options;
    bool optionsEnded = false;

    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.presets.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            result.outcome = ParsedCommandLine::Outcome::Help;
            return result;
        }
        if (arg == "--version") {
            result.outcome = ParsedCommandLine::Outcome::Version;
            return result;
        }
        if (auto toggle = switchOptions().find(arg); toggle != switchOptions().end()) {
            options.*(toggle->second) = true;
            continue;
        }

        // "--name value" or "--name=value".
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (switchOptions().count(name) != 0) return failure(name + " takes no value");
        const auto parser = valueOptions().find(name);
        if (parser == valueOptions().end()) return failure("unknown option " + name + " (see --help)");
        std::string value;
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
        } else if (k + 1 < args.size()) {
            value = args[++k];
        } else {
            return failure(name + " needs a value");
        }
        std::string error;
        if (!parser->second(value, options, error)) return failure(name + ": " + error);
    }

    if (options.presets.empty()) return failure("no preset given (see --help)");
    if (!options.beatsFromMusic && options.beatEvery > 0)
        return failure("--beats none and --beat-every contradict each other: give one");
    return result;
}

}  // namespace previewer
