// Reads any common audio file into stereo samples at the analysis rate.
// The only place that knows FFmpeg: nothing of its types leaks out.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "audio/pcm.h"

namespace audio {

struct DecodeOptions {
    double start = 0;       // seconds into the file to begin at
    double maxSeconds = 0;  // 0: to the end
};

struct DecodeResult {
    bool ok = false;
    std::string error;                  // one line, without the file name
    std::vector<std::string> warnings;  // damage decoded past, one line each
    StereoPcm pcm;
    double fileSeconds = 0;             // the file's music up to where decoding stopped:
                                        // its whole length unless maxSeconds cut it short
};

DecodeResult decodeAudioFile(const std::string& path, const DecodeOptions& options);

// Takes the music as it is decoded, in order, a block at a time (both
// channels; a mono file gives the same samples twice).
using SampleSink = std::function<void(const float* left, const float* right, size_t count)>;

// Told, before the first samples, how many sample frames the file says are
// to come (at most what the options ask for), so a caller can make room.
using LengthHint = std::function<void(size_t frames)>;

// The same, handing the samples to `sink` as they come instead of keeping
// them: the result's pcm stays empty. Lets a caller work on the music while
// the rest is still being decoded.
DecodeResult decodeAudioFile(const std::string& path, const DecodeOptions& options, const SampleSink& sink,
                             const LengthHint& hint = nullptr);

}  // namespace audio
