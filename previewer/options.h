// The command line of triangle-render.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace previewer {

constexpr int32_t kMaxFrameSide = 16384;
constexpr int32_t kMaxFrames = 1000000;
constexpr int32_t kDefaultSheetThumbnails = 16;
constexpr int32_t kMaxFps = 240;
constexpr double kMaxStartSeconds = 1e6;

struct Options {
    int32_t width = 640;
    int32_t height = 360;
    int32_t frames = 120;
    uint32_t blendModeWord = 0;  // mode | ratio << 8, as the host keeps it
    int32_t beatEvery = 0;       // 0: no beats
    uint32_t fill = 0x00000000u;
    bool clearEachFrame = false;
    bool strict = false;
    bool quiet = false;
    bool force = false;  // render even when it needs more than half of the memory
    int32_t sheetThumbnails = kDefaultSheetThumbnails;
    bool framesGiven = false;    // --frames on the command line (else the music's length)

    // Music: frame k is the music at startSeconds + k / fps.
    std::string audioFile;
    int32_t fps = 60;
    double startSeconds = 0;
    bool beatsFromMusic = true;  // false: --beats none

    std::string outFile;
    std::string framesDir;
    std::string sheetFile;
    std::string saveBlockFile;
    std::string logFramesFile;

    // --video and the settings of its encoder; -1 and empty: the format's defaults.
    std::string videoFile;
    int32_t videoQuality = -1;
    std::string videoSpeed;
    bool videoFullChroma = false;
    bool videoDither = false;

    std::vector<std::string> presets;

    bool isBeatFrame(int32_t frame) const { return beatEvery > 0 && frame % beatEvery == 0; }
};

struct ParsedCommandLine {
    enum class Outcome { Run, Help, Version, Error };
    Outcome outcome = Outcome::Error;
    Options options;
    std::string error;  // one line, for Outcome::Error
};

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args);

}  // namespace previewer
