#include "previewer/audio_file.h"

namespace previewer {

audio::DecodeResult readAudioFile(const std::string& path, const audio::DecodeOptions& options) {
    return audio::decodeAudioFile(path, options);
}

}  // namespace previewer
