// --video: the rendered frames, and the music when there is some, written as
// an MP4, WebM or GIF file whole or not at all.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "previewer/image.h"
#include "previewer/options.h"

namespace previewer {

// A clip's frame rate when --fps is not given: the host's usual rate.
constexpr int32_t kVideoFps = 60;

// Where the sound track comes from: the music heard from the render's start,
// handed over a frame's worth at a time.
class SoundFeed {
public:
    virtual ~SoundFeed() = default;
    virtual int32_t sampleRate() const = 0;
    // Interleaved left/right samples that follow the last ones handed over,
    // up to the end of the first `frames` frames (silence past the music's end).
    virtual void samplesUpTo(int32_t frames, std::vector<float>& interleavedStereo) = 0;
};

// Checks the --video options before any rendering: the format, the encoder
// settings, the encoders installed, a folder that takes the file.
bool checkVideoOutput(const Options& options, bool withSound, std::string& error);

class VideoOutput {
public:
    // Starts the file under a temporary name beside it. `sound` may be null
    // (no sound track); it must outlive the output.
    static std::unique_ptr<VideoOutput> start(const Options& options, SoundFeed* sound, std::string& error);
    ~VideoOutput();
    VideoOutput(const VideoOutput&) = delete;
    VideoOutput& operator=(const VideoOutput&) = delete;

    bool add(const Image& frame, std::string& error);
    // Completes the file and renames it into place.
    bool finish(std::string& error);

    // What is being written, for the messages.
    std::string description() const;

private:
    struct Parts;
    explicit VideoOutput(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> parts_;
};

}  // namespace previewer
