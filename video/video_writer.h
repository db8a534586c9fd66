// Writes a video file (MP4, WebM or GIF, by the file's extension) from
// 0x00RRGGBB frames and, optionally, a stereo sound track. The only place that
// knows FFmpeg; callers see none of it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "video/video_settings.h"

namespace video {

// Whether the installed FFmpeg has an encoder of this name.
using EncoderLookup = std::function<bool(const char* name)>;
bool installedEncoder(const char* name);

class VideoWriter {
public:
    // Everything that can be known before any frame is made: the format, the
    // settings' ranges, the encoders, and a folder that takes the file. Fills
    // in the defaults of quality and speed.
    static bool check(VideoSettings& settings, std::string& error, const EncoderLookup& hasEncoder = installedEncoder);

    // Starts the file at `writePath` (the settings' path when empty) in the
    // format of the settings' path. Null with `error` set on failure.
    static std::unique_ptr<VideoWriter> open(const VideoSettings& settings, std::string& error,
                                             const std::string& writePath = std::string());
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Sound for the frames to come, interleaved left/right at the settings'
    // rate. It is held back until its frames are written; what runs past the
    // last frame is dropped and what is missing becomes silence.
    bool writeSound(const float* interleavedStereo, int32_t sampleFrames, std::string& error);
    // The next frame: width x height words, `stride` words apart row to row.
    bool writeFrame(const uint32_t* pixels, int32_t stride, std::string& error);
    // Completes the file. Nothing may be written after.
    bool finish(std::string& error);
    // Stops and removes the file written so far.
    void abort();

    int64_t framesWritten() const;
    // "MP4: H.264 1920x1080 4:2:0 CRF 12 ultrafast, 60 fps; AAC 48 kHz stereo".
    std::string description() const;

private:
    struct State;
    explicit VideoWriter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace video
