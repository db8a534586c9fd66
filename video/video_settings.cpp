#include "video/video_settings.h"

#include <cctype>
#include <cstdlib>

namespace video {

namespace {

// CRF 12 (x264) and 16 (VP9) keep flat triangles above 42 dB against the
// frame in 4:2:0; in 4:4:4, measured against the frame itself, 6 and 4 stay
// above 40 dB. Ultrafast and cpu-used 9 are the fastest presets; at CRF 16 VP9
// encodes 1080p at 60 frames a second on two cores (docs/benchmarks.md).
const FormatTraits kFormats[] = {
    {VideoFormat::Mp4, ".mp4", "mp4", "libx264", "aac",
     "an FFmpeg built with libx264 (Debian: libavcodec59 with libx264-164)", 12, 6, 0, 51, "ultrafast",
     "x264 CRF, 0 (lossless) to 51"},
    {VideoFormat::WebM, ".webm", "webm", "libvpx-vp9", "libopus",
     "an FFmpeg built with libvpx and libopus (Debian: libavcodec59 with libvpx7 and libopus0)", 16, 4, 0, 63, "9",
     "VP9 CRF, 0 to 63"},
    {VideoFormat::Gif, ".gif", "gif", "gif", nullptr, "an FFmpeg with its GIF encoder (Debian: libavcodec59)", 256,
     256, 2, 256, "", "palette colours per frame, 2 to 256"},
};

const char* const kX264Presets[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                    "medium",    "slow",      "slower",   "veryslow", "placebo"};

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool parseInteger(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

bool checkSpeed(VideoFormat format, const std::string& speed, std::string& error) {
    switch (format) {
    case VideoFormat::Mp4:
        for (const char* preset : kX264Presets) {
            if (speed == preset) return true;
        }
        error = "video speed '" + speed + "': use an x264 preset (ultrafast, superfast, veryfast, faster, fast, "
                                          "medium, slow, slower, veryslow)";
        return false;
    case VideoFormat::WebM: {
        long value = 0;
        if (parseInteger(speed, value) && value >= 0 && value <= 9) return true;
        error = "video speed '" + speed + "': use a VP9 cpu-used number, 0 (slowest) to 9 (fastest)";
        return false;
    }
    case VideoFormat::Gif:
        break;
    }
    error = "video speed: a GIF has no encoder speed to set";
    return false;
}

}  // namespace

const FormatTraits& traitsOf(VideoFormat format) {
    for (const FormatTraits& traits : kFormats) {
        if (traits.format == format) return traits;
    }
    return kFormats[0];
}

bool formatOfPath(const std::string& path, VideoFormat& format) {
    const std::string lower = lowerCase(path);
    for (const FormatTraits& traits : kFormats) {
        if (endsWith(lower, traits.extension) && lower.size() > std::string(traits.extension).size()) {
            format = traits.format;
            return true;
        }
    }
    return false;
}

std::string supportedExtensions() {
    std::string list;
    const size_t count = sizeof kFormats / sizeof kFormats[0];
    for (size_t k = 0; k < count; ++k) {
        if (k > 0) list += k + 1 == count ? " or " : ", ";
        list += kFormats[k].extension;
    }
    return list;
}

bool resolveSettings(VideoSettings& settings, VideoFormat format, std::string& error) {
    const FormatTraits& traits = traitsOf(format);
    if (settings.width <= 0 || settings.height <= 0) {
        error = "video size must be positive";
        return false;
    }
    if (settings.fps <= 0) {
        error = "video frame rate must be positive";
        return false;
    }
    if (settings.quality < 0) settings.quality = settings.fullChroma ? traits.fullChromaQuality : traits.defaultQuality;
    if (settings.quality < traits.minQuality || settings.quality > traits.maxQuality) {
        error = "video quality " + std::to_string(settings.quality) + " is out of range for " + traits.extension +
                " (" + traits.qualityMeaning + ")";
        return false;
    }
    if (settings.speed.empty()) {
        settings.speed = traits.defaultSpeed;
    } else if (!checkSpeed(format, settings.speed, error)) {
        return false;
    }
    if (settings.fullChroma && format == VideoFormat::Gif) {
        error = "full chroma: a GIF keeps every pixel's colour already";
        return false;
    }
    if (settings.dither && format != VideoFormat::Gif) {
        error = "dithering applies to GIF only";
        return false;
    }
    if (settings.audioSampleRate < 0) {
        error = "sound sample rate must be positive";
        return false;
    }
    return true;
}

}  // namespace video
