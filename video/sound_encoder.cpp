#include "video/sound_encoder.h"

#include "video/timeline.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace video {

namespace {

constexpr int32_t kEncodedRate = 48000;  // Opus takes no other; AAC plays it everywhere

AVSampleFormat floatFormatOf(const AVCodec* codec) {
    for (const AVSampleFormat* format = codec->sample_fmts; format && *format != AV_SAMPLE_FMT_NONE; ++format) {
        if (*format == AV_SAMPLE_FMT_FLTP || *format == AV_SAMPLE_FMT_FLT) return *format;
    }
    return AV_SAMPLE_FMT_NONE;
}

}  // namespace

std::unique_ptr<SoundEncoder> SoundEncoder::create(const VideoSettings& settings, VideoFormat format,
                                                   bool globalHeader, std::string& error) {
    const FormatTraits& traits = traitsOf(format);
    const AVCodec* codec = traits.audioEncoder ? avcodec_find_encoder_by_name(traits.audioEncoder) : nullptr;
    if (!codec) {
        error = traits.audioEncoder ? std::string("this FFmpeg has no ") + traits.audioEncoder +
                                          " encoder; install " + traits.whatToInstall
                                    : std::string(traits.extension) + " files have no sound";
        return nullptr;
    }
    const AVSampleFormat sampleFormat = floatFormatOf(codec);
    if (sampleFormat == AV_SAMPLE_FMT_NONE) {
        error = std::string("the ") + traits.audioEncoder + " encoder takes no floating-point samples";
        return nullptr;
    }

    std::unique_ptr<SoundEncoder> encoder(new SoundEncoder(settings.fps));
    encoder->codec_.reset(avcodec_alloc_context3(codec));
    encoder->converted_.reset(av_frame_alloc());
    encoder->chunk_.reset(av_frame_alloc());
    encoder->packet_.reset(av_packet_alloc());
    if (!encoder->codec_ || !encoder->converted_ || !encoder->chunk_ || !encoder->packet_) {
        error = "out of memory for the sound encoder";
        return nullptr;
    }
    AVCodecContext* context = encoder->codec_.get();
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&context->ch_layout, &stereo);
    context->sample_fmt = sampleFormat;
    context->sample_rate = kEncodedRate;
    context->time_base = AVRational{1, kEncodedRate};
    context->bit_rate = 192000;
    if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int result = avcodec_open2(context, codec, nullptr);
    if (result < 0) {
        error = ffmpegError(std::string("cannot start the ") + traits.audioEncoder + " encoder", result);
        return nullptr;
    }

    SwrContext* resample = nullptr;
    result = swr_alloc_set_opts2(&resample, &context->ch_layout, sampleFormat, kEncodedRate, &stereo,
                                 AV_SAMPLE_FMT_FLT, settings.audioSampleRate, 0, nullptr);
    encoder->resample_.reset(resample);
    if (result >= 0) result = swr_init(resample);
    if (result < 0) {
        error = ffmpegError("sound resampler", result);
        return nullptr;
    }
    encoder->fifo_.reset(av_audio_fifo_alloc(sampleFormat, 2, kEncodedRate));
    if (!encoder->fifo_) {
        error = "out of memory for the sound encoder";
        return nullptr;
    }
    return encoder;
}

bool SoundEncoder::store(const uint8_t** input, int32_t sampleFrames, std::string& error) {
    const int room = swr_get_out_samples(resample_.get(), sampleFrames);
    AVFrame* converted = converted_.get();
    if (converted->nb_samples < room) {
        av_frame_unref(converted);
        converted->format = codec_->sample_fmt;
        converted->sample_rate = codec_->sample_rate;
        av_channel_layout_copy(&converted->ch_layout, &codec_->ch_layout);
        converted->nb_samples = room;
        const int result = av_frame_get_buffer(converted, 0);
        if (result < 0) {
            error = ffmpegError("sound buffer", result);
            return false;
        }
    }
    const int got = swr_convert(resample_.get(), converted->data, room, input, sampleFrames);
    if (got < 0) {
        error = ffmpegError("sound resampler", got);
        return false;
    }
    if (got > 0 && av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(converted->data), got) < got) {
        error = "out of memory for the sound track";
        return false;
    }
    return true;
}

bool SoundEncoder::add(const float* interleavedStereo, int32_t sampleFrames, std::string& error) {
    if (sampleFrames <= 0) return true;
    const uint8_t* input[1] = {reinterpret_cast<const uint8_t*>(interleavedStereo)};
    return store(input, sampleFrames, error);
}

bool SoundEncoder::encodeUpTo(int64_t frames, const PacketSink& sink, std::string& error) {
    const int64_t due = samplesForFrames(frames, codec_->sample_rate, fps_);
    const int32_t size = codec_->frame_size;
    while (av_audio_fifo_size(fifo_.get()) >= size && samplesEncoded_ + size <= due) {
        if (!encodeChunk(size, sink, error)) return false;
    }
    return true;
}

bool SoundEncoder::finish(int64_t frames, const PacketSink& sink, std::string& error) {
    if (!store(nullptr, 0, error)) return false;
    const int64_t total = samplesForFrames(frames, codec_->sample_rate, fps_);
    // Silence where the sound ran out before the pictures did.
    const int64_t missing = total - samplesEncoded_ - av_audio_fifo_size(fifo_.get());
    if (missing > 0) {
        FramePtr silence(av_frame_alloc());
        if (!silence) {
            error = "out of memory for the sound track";
            return false;
        }
        silence->format = codec_->sample_fmt;
        silence->nb_samples = static_cast<int>(missing);
        av_channel_layout_copy(&silence->ch_layout, &codec_->ch_layout);
        if (av_frame_get_buffer(silence.get(), 0) < 0 ||
            av_samples_set_silence(silence->data, 0, silence->nb_samples, 2, codec_->sample_fmt) < 0 ||
            av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(silence->data), silence->nb_samples) <
                silence->nb_samples) {
            error = "out of memory for the sound track";
            return false;
        }
    }
    const int32_t size = codec_->frame_size;
    while (samplesEncoded_ < total) {
        const int64_t left = total - samplesEncoded_;
        if (!encodeChunk(static_cast<int32_t>(left < size ? left : size), sink, error)) return false;
    }
    // Anything the sound ran on past the last picture is dropped.
    const int result = avcodec_send_frame(codec_.get(), nullptr);
    if (result < 0) {
        error = ffmpegError("sound encoder", result);
        return false;
    }
    return passOn(sink, error);
}

bool SoundEncoder::encodeChunk(int32_t samples, const PacketSink& sink, std::string& error) {
    AVFrame* chunk = chunk_.get();
    av_frame_unref(chunk);
    chunk->format = codec_->sample_fmt;
    chunk->sample_rate = codec_->sample_rate;
    av_channel_layout_copy(&chunk->ch_layout, &codec_->ch_layout);
    // An encoder that cannot end on a short frame gets the rest in silence.
    const bool shortAllowed = codec_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
    chunk->nb_samples = shortAllowed ? samples : codec_->frame_size;
    int result = av_frame_get_buffer(chunk, 0);
    if (result < 0) {
        error = ffmpegError("sound buffer", result);
        return false;
    }
    av_samples_set_silence(chunk->data, 0, chunk->nb_samples, 2, codec_->sample_fmt);
    if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(chunk->data), samples) < samples) {
        error = "sound track ran short";
        return false;
    }
    chunk->pts = samplesEncoded_;
    samplesEncoded_ += samples;
    result = avcodec_send_frame(codec_.get(), chunk);
    if (result < 0) {
        error = ffmpegError("sound encoder", result);
        return false;
    }
    return passOn(sink, error);
}

bool SoundEncoder::passOn(const PacketSink& sink, std::string& error) {
    for (;;) {
        const int result = avcodec_receive_packet(codec_.get(), packet_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
        if (result < 0) {
            error = ffmpegError("sound encoder", result);
            return false;
        }
        if (!sink(packet_.get(), error)) return false;
    }
}

}  // namespace video
