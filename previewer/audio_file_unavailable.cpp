// Builds without FFmpeg's libraries (the 32-bit one) read no audio files.
#include "previewer/audio_file.h"

namespace previewer {

audio::DecodeResult readAudioFile(const std::string&, const audio::DecodeOptions&, const audio::SampleSink&,
                                  const audio::LengthHint&) {
    audio::DecodeResult result;
    result.error = "this build of triangle-render reads no audio files (built without FFmpeg)";
    return result;
}

}  // namespace previewer
