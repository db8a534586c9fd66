// Reads any common audio file into stereo samples at the analysis rate.
// The only place that knows FFmpeg: nothing of its types leaks out.
#pragma once

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

}  // namespace audio
