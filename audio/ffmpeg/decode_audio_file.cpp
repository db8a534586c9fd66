#include "audio/ffmpeg/decode_audio_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace audio {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ResamplerFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFreer>;

// Decoding that goes wrong this many times in a row is given up.
constexpr int kMostErrorsInARow = 50;
// A file whose music stops this far short of its stated length is cut off.
constexpr double kTruncatedShare = 0.9;
constexpr double kShortShare = 0.98;

std::string describe(int code) {
    if (code == AVERROR(ENOENT)) return "no such file";
    if (code == AVERROR(EACCES)) return "permission denied";
    if (code == AVERROR_INVALIDDATA) return "not an audio file (unknown or damaged format)";
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}

// Collects resampled output, dropping what lies before the start and
// stopping at the length asked for; keeps it, or hands it to a sink.
class Collector {
public:
    Collector(const DecodeOptions& options, bool mono, const SampleSink& sink, const LengthHint& hint,
              double statedSeconds)
        : skip_(static_cast<long long>(std::floor(options.start * kAnalysisRate + 0.5))),
          limit_(options.maxSeconds > 0 ? static_cast<long long>(std::floor(options.maxSeconds * kAnalysisRate + 0.5)) : -1),
          mono_(mono),
          sink_(sink) {
        const size_t expected = expectedFrames(statedSeconds - options.start);
        if (!sink_) {
            pcm_.left.reserve(expected);
            pcm_.right.reserve(expected);
        } else if (hint && expected > 0) {
            hint(expected);
        }
    }

    void add(const float* left, const float* right, int count) {
        const long long before = seen_;
        seen_ += count;
        long long first = skip_ > before ? skip_ - before : 0;
        if (first >= count) return;
        long long take = count - first;
        if (limit_ >= 0) take = std::min(take, std::max(0LL, limit_ - kept_));
        if (take <= 0) return;
        kept_ += take;
        const float* from = left + first;
        const float* fromRight = (mono_ ? left : right) + first;
        if (sink_) {
            sink_(from, fromRight, static_cast<size_t>(take));
            return;
        }
        pcm_.left.insert(pcm_.left.end(), from, from + take);
        pcm_.right.insert(pcm_.right.end(), fromRight, fromRight + take);
    }
    bool full() const { return limit_ >= 0 && kept_ >= limit_; }
    long long seen() const { return seen_; }
    double seconds() const { return static_cast<double>(kept_) / kAnalysisRate; }
    StereoPcm take() { return std::move(pcm_); }

private:
    // Room for the stated length at once: growing by doubling would copy
    // the music several times over. A length past any sensible song is not
    // trusted (0: no idea).
    size_t expectedFrames(double seconds) const {
        constexpr double kLongestTrusted = 3600.0;
        constexpr double kMargin = 1.01;
        if (!(seconds > 0) || seconds > kLongestTrusted) return 0;
        double frames = seconds * kMargin * kAnalysisRate + kAnalysisRate;
        if (limit_ >= 0) frames = std::min(frames, static_cast<double>(limit_));
        return static_cast<size_t>(frames);
    }

    long long skip_;
    long long limit_;
    bool mono_;
    const SampleSink& sink_;
    long long seen_ = 0;
    long long kept_ = 0;
    StereoPcm pcm_;
};

class Decoder {
public:
    Decoder(const std::string& path, const DecodeOptions& options, const SampleSink& sink, const LengthHint& hint)
        : path_(path), options_(options), sink_(sink), hint_(hint) {}

    DecodeResult run() {
        DecodeResult result;
        if (!open(result.error) || !decodeAll(result)) return result;
        result.ok = true;
        return result;
    }

private:
    bool open(std::string& error) {
        struct stat info {};
        if (::stat(path_.c_str(), &info) != 0) {
            error = describe(AVERROR(errno));
            return false;
        }
        if (S_ISDIR(info.st_mode)) {
            error = "a directory, not an audio file";
            return false;
        }
        if (info.st_size == 0) {
            error = "empty file";
            return false;
        }
        AVFormatContext* raw = nullptr;
        int code = avformat_open_input(&raw, path_.c_str(), nullptr, nullptr);
        if (code < 0) {
            // Past the checks above, a file FFmpeg cannot open is one it does
            // not recognise.
            error = describe(code);
            if (code != AVERROR(ENOENT) && code != AVERROR(EACCES) && code != AVERROR_INVALIDDATA)
                error = "not an audio file (" + error + ")";
            return false;
        }
        format_.reset(raw);
        code = avformat_find_stream_info(format_.get(), nullptr);
        if (code < 0) {
            error = "cannot read the file's streams: " + describe(code);
            return false;
        }
        const AVCodec* codec = nullptr;
        stream_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream_ < 0 || codec == nullptr) {
            if (stream_ == AVERROR_DECODER_NOT_FOUND) error = "no decoder for its audio";
            else if (format_->nb_streams == 0) error = describe(AVERROR_INVALIDDATA);
            else error = std::string("no audio stream (read as ") + format_->iformat->name + ")";
            return false;
        }
        const AVStream* stream = format_->streams[stream_];
        codec_.reset(avcodec_alloc_context3(codec));
        if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream->codecpar) < 0 ||
            avcodec_open2(codec_.get(), codec, nullptr) < 0) {
            error = "cannot start the audio decoder";
            return false;
        }
        if (codec_->sample_rate <= 0 || codec_->ch_layout.nb_channels <= 0) {
            error = "audio stream without a sample rate or channels";
            return false;
        }
        if (stream->duration > 0 && stream->time_base.den > 0)
            statedSeconds_ = static_cast<double>(stream->duration) * av_q2d(stream->time_base);
        else if (format_->duration > 0)
            statedSeconds_ = static_cast<double>(format_->duration) / AV_TIME_BASE;
        return true;
    }

    bool startResampler(const AVFrame& frame, std::string& error) {
        AVChannelLayout input{};
        if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || frame.ch_layout.nb_channels <= 0)
            av_channel_layout_default(&input, frame.ch_layout.nb_channels > 0 ? frame.ch_layout.nb_channels
                                                                             : codec_->ch_layout.nb_channels);
        else
            av_channel_layout_copy(&input, &frame.ch_layout);
        mono_ = input.nb_channels == 1;
        AVChannelLayout output{};
        av_channel_layout_default(&output, mono_ ? 1 : 2);
        SwrContext* raw = nullptr;
        const int code = swr_alloc_set_opts2(&raw, &output, AV_SAMPLE_FMT_FLTP, kAnalysisRate, &input,
                                             static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
        av_channel_layout_uninit(&input);
        av_channel_layout_uninit(&output);
        resampler_.reset(raw);
        if (code < 0 || swr_init(resampler_.get()) < 0) {
            error = "cannot convert its samples";
            return false;
        }
        inputRate_ = frame.sample_rate;
        inputFormat_ = frame.format;
        inputChannels_ = frame.ch_layout.nb_channels;
        collector_ = std::make_unique<Collector>(options_, mono_, sink_, hint_, statedSeconds_);
        return true;
    }

    // Converts `frame` (or, when null, what the resampler still holds).
    void convert(const AVFrame* frame) {
        const int inCount = frame ? frame->nb_samples : 0;
        const int room = swr_get_out_samples(resampler_.get(), inCount);
        if (room <= 0) return;
        left_.resize(static_cast<size_t>(room));
        right_.resize(static_cast<size_t>(room));
        uint8_t* out[2] = {reinterpret_cast<uint8_t*>(left_.data()), reinterpret_cast<uint8_t*>(right_.data())};
        const int made = swr_convert(resampler_.get(), out, room,
                                     frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, inCount);
        if (made > 0) collector_->add(left_.data(), right_.data(), made);
    }

    void warnDamage(std::vector<std::string>& warnings) {
        damagedAtEnd_ = true;
        const double at = collector_ ? static_cast<double>(collector_->seen()) / kAnalysisRate : 0.0;
        const std::string text = "damaged audio near " + secondsText(at) + " skipped";
        if (warnings.empty() || warnings.back() != text) warnings.push_back(text);
    }

    // Receives every frame the decoder has ready. False on a fatal error.
    bool receive(DecodeResult& result, int& errorsInARow) {
        for (;;) {
            const int code = avcodec_receive_frame(codec_.get(), frame_.get());
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
            if (code < 0) {
                warnDamage(result.warnings);
                if (++errorsInARow > kMostErrorsInARow) return false;
                continue;
            }
            errorsInARow = 0;
            damagedAtEnd_ = false;
            if (!resampler_ && !startResampler(*frame_, result.error)) return false;
            if (frame_->sample_rate != inputRate_ || frame_->format != inputFormat_ ||
                frame_->ch_layout.nb_channels != inputChannels_) {
                // A stream that changes its shape midway: treated as damage.
                warnDamage(result.warnings);
                av_frame_unref(frame_.get());
                continue;
            }
            convert(frame_.get());
            av_frame_unref(frame_.get());
        }
    }

    bool decodeAll(DecodeResult& result) {
        PacketPtr packet(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        if (!packet || !frame_) {
            result.error = "out of memory";
            return false;
        }
        int errorsInARow = 0;
        for (;;) {
            if (collector_ && collector_->full()) break;
            const int code = av_read_frame(format_.get(), packet.get());
            if (code == AVERROR_EOF) break;
            if (code < 0) {
                if (code == AVERROR(EIO) || ++errorsInARow > kMostErrorsInARow) break;
                warnDamage(result.warnings);
                continue;
            }
            if (packet->stream_index == stream_) {
                const int sent = avcodec_send_packet(codec_.get(), packet.get());
                if (sent < 0 && sent != AVERROR(EAGAIN)) {
                    warnDamage(result.warnings);
                    if (++errorsInARow > kMostErrorsInARow) {
                        av_packet_unref(packet.get());
                        break;
                    }
                }
                if (!receive(result, errorsInARow)) {
                    av_packet_unref(packet.get());
                    if (!result.error.empty()) return false;
                    break;
                }
            }
            av_packet_unref(packet.get());
        }
        avcodec_send_packet(codec_.get(), nullptr);
        if (!receive(result, errorsInARow) && !result.error.empty()) return false;
        if (!resampler_) {
            result.error = result.warnings.empty() ? "no audio in the file" : "its audio cannot be decoded";
            return false;
        }
        convert(nullptr);

        const double decoded = static_cast<double>(collector_->seen()) / kAnalysisRate;
        const bool wholeFile = !collector_->full();
        result.fileSeconds = wholeFile ? decoded : options_.start + collector_->seconds();
        // Damage with no music after it: the file was cut off (a stated
        // length is not always there to compare with).
        if (wholeFile && damagedAtEnd_) {
            result.error = "truncated: the music breaks off at " + secondsText(decoded);
            return false;
        }
        if (wholeFile && statedSeconds_ > 0.5 && decoded < kTruncatedShare * statedSeconds_) {
            result.error = "truncated: " + secondsText(decoded) + " of " + secondsText(statedSeconds_) + " present";
            return false;
        }
        if (wholeFile && statedSeconds_ > 0.5 && decoded < kShortShare * statedSeconds_)
            result.warnings.push_back("ends at " + secondsText(decoded) + " of a stated " + secondsText(statedSeconds_));
        result.pcm = collector_->take();
        return true;
    }

    std::string path_;
    DecodeOptions options_;
    const SampleSink& sink_;
    const LengthHint& hint_;
    FormatPtr format_;
    CodecPtr codec_;
    FramePtr frame_;
    ResamplerPtr resampler_;
    std::unique_ptr<Collector> collector_;
    int stream_ = -1;
    bool mono_ = false;
    int inputRate_ = 0;
    int inputFormat_ = 0;
    int inputChannels_ = 0;
    double statedSeconds_ = 0;
    bool damagedAtEnd_ = false;  // damage since the last good frame
    std::vector<float> left_, right_;
};

}  // namespace

DecodeResult decodeAudioFile(const std::string& path, const DecodeOptions& options, const SampleSink& sink,
                             const LengthHint& hint) {
    // FFmpeg's own messages would break our one-line errors; we report instead.
    av_log_set_level(AV_LOG_QUIET);
    return Decoder(path, options, sink, hint).run();
}

DecodeResult decodeAudioFile(const std::string& path, const DecodeOptions& options) {
    return decodeAudioFile(path, options, SampleSink());
}

}  // namespace audio
