// What a video file is to hold, and the formats this library writes.
#pragma once

#include <cstdint>
#include <string>

namespace video {

enum class VideoFormat { Mp4, WebM, Gif };

struct VideoSettings {
    std::string path;  // the format follows its extension
    int32_t width = 0;
    int32_t height = 0;
    int32_t fps = 60;
    int32_t quality = -1;  // constant-quality number of the format's encoder; -1: its default
    std::string speed;     // the encoder's speed preset; empty: its default
    bool fullChroma = false;     // colour at full resolution (4:4:4) instead of 4:2:0
    bool dither = false;         // GIF: ordered dithering when colours exceed the palette
    int32_t audioSampleRate = 0;  // of the stereo sound given; 0: no sound track
};

// How each format is written: its container, encoders and the ranges of
// their settings.
struct FormatTraits {
    VideoFormat format;
    const char* extension;     // ".mp4"
    const char* muxer;         // FFmpeg's name of the container
    const char* videoEncoder;  // FFmpeg's name of the encoder
    const char* audioEncoder;  // null: no sound
    const char* whatToInstall;
    int32_t defaultQuality;
    int32_t fullChromaQuality;  // default in 4:4:4, where the RGB frame itself is the measure
    int32_t minQuality;
    int32_t maxQuality;
    const char* defaultSpeed;
    const char* qualityMeaning;
};

const FormatTraits& traitsOf(VideoFormat format);

// False when the extension (case-insensitive) is none of the supported ones.
bool formatOfPath(const std::string& path, VideoFormat& format);

// ".mp4, .webm or .gif", for messages.
std::string supportedExtensions();

// Fills in the defaults of quality and speed; false with `error` set when a
// value is out of its format's range.
bool resolveSettings(VideoSettings& settings, VideoFormat format, std::string& error);

}  // namespace video
