// The sound track: interleaved stereo floats at the caller's rate, resampled
// to the encoder's, held until the pictures they belong to are written, then
// padded or cut so that the track lasts exactly as long as the pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "video/ffmpeg_handles.h"
#include "video/packet_sink.h"
#include "video/video_settings.h"

namespace video {

class SoundEncoder {
public:
    static std::unique_ptr<SoundEncoder> create(const VideoSettings& settings, VideoFormat format,
                                                bool globalHeader, std::string& error);

    AVCodecContext* context() const { return codec_.get(); }
    int32_t sampleRate() const { return codec_->sample_rate; }

    bool add(const float* interleavedStereo, int32_t sampleFrames, std::string& error);
    // Encodes what is held, up to the end of the first `frames` pictures.
    bool encodeUpTo(int64_t frames, const PacketSink& sink, std::string& error);
    // Ends the track at exactly the end of the first `frames` pictures.
    bool finish(int64_t frames, const PacketSink& sink, std::string& error);

private:
    explicit SoundEncoder(int32_t fps) : fps_(fps) {}
    bool store(const uint8_t** input, int32_t sampleFrames, std::string& error);
    bool encodeChunk(int32_t samples, const PacketSink& sink, std::string& error);
    bool passOn(const PacketSink& sink, std::string& error);

    int32_t fps_;
    CodecContextPtr codec_;
    ResamplePtr resample_;
    AudioFifoPtr fifo_;
    FramePtr converted_;
    FramePtr chunk_;
    PacketPtr packet_;
    int64_t samplesEncoded_ = 0;
};

}  // namespace video
