#include "previewer/audio_file.h"

namespace previewer {

audio::DecodeResult readAudioFile(const std::string& path, const audio::DecodeOptions& options,
                                  const audio::SampleSink& sink, const audio::LengthHint& hint) {
    return audio::decodeAudioFile(path, options, sink, hint);
}

}  // namespace previewer
