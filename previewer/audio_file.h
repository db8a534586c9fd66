// Reading a song for --audio: FFmpeg's decoders where the build has them.
#pragma once

#include <string>

#include "audio/ffmpeg/decode_audio_file.h"

namespace previewer {

audio::DecodeResult readAudioFile(const std::string& path, const audio::DecodeOptions& options);

}  // namespace previewer
