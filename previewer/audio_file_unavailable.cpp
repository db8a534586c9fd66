// Builds without FFmpeg's libraries (the 32-bit one) read no audio files.
#include "previewer/audio_file.h"

namespace previewer {

audio::DecodeResult readAudioFile(const std::string&, const audio::DecodeOptions&, const audio::SampleSink&,
                                  const audio::LengthHint&) {
    audio::DecodeResult result;
    result.error = "this triangle-render was built without FFmpeg's libraries and reads no songs "
                   "(the 32-bit Linux build has none: use the 64-bit one)";
    return result;
}

}  // namespace previewer
