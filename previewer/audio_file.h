// Reading a song for --audio: FFmpeg's decoders where the build has them.
#pragma once

#include <string>

#include "audio/ffmpeg/decode_audio_file.h"

namespace previewer {

// Hands the music to `sink` as it is decoded; the result's pcm stays empty.
audio::DecodeResult readAudioFile(const std::string& path, const audio::DecodeOptions& options,
                                  const audio::SampleSink& sink, const audio::LengthHint& hint);

}  // namespace previewer
