#include "video/picture_encoder.h"

#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavutil/opt.h>
}

#include "video/yuv_conversion.h"

namespace video {

namespace {

bool setOption(AVCodecContext* codec, const char* name, const std::string& value, std::string& error) {
    const int result = av_opt_set(codec->priv_data, name, value.c_str(), 0);
    if (result < 0) {
        error = ffmpegError(std::string("encoder option ") + name + "=" + value, result);
        return false;
    }
    return true;
}

// FFmpeg 5.1's wrapper caps "cpu-used" at 8, though libvpx's realtime mode
// goes to 9; its older name "speed" reaches the same setting without the cap.
bool setSpeed(AVCodecContext* codec, const std::string& speed, std::string& error) {
    const AVOption* cpuUsed = av_opt_find(codec->priv_data, "cpu-used", nullptr, 0, 0);
    const bool capped = cpuUsed && std::strtod(speed.c_str(), nullptr) > cpuUsed->max;
    return setOption(codec, capped ? "speed" : "cpu-used", speed, error);
}

// VP9 splits a frame into up to 2^n tile columns of at least 256 pixels,
// which its row threads then share.
int tileColumnsLog2(int32_t width) {
    int log2 = 0;
    while (log2 < 6 && (width >> (log2 + 1)) >= 256) ++log2;
    return log2;
}

bool configure(AVCodecContext* codec, const VideoSettings& settings, VideoFormat format, std::string& error) {
    switch (format) {
    case VideoFormat::Mp4:
        return setOption(codec, "preset", settings.speed, error) &&
               setOption(codec, "crf", std::to_string(settings.quality), error);
    case VideoFormat::WebM:
        // Constant quality (no target bit rate), encoded as it comes:
        // realtime mode never looks ahead and rows run on both cores.
        codec->bit_rate = 0;
        codec->thread_count = 2;
        return setOption(codec, "deadline", "realtime", error) && setSpeed(codec, settings.speed, error) &&
               setOption(codec, "crf", std::to_string(settings.quality), error) &&
               setOption(codec, "row-mt", "1", error) &&
               setOption(codec, "tile-columns", std::to_string(tileColumnsLog2(codec->width)), error) &&
               setOption(codec, "lag-in-frames", "0", error);
    case VideoFormat::Gif:
        return true;
    }
    return true;
}

}  // namespace

PictureEncoder::PictureEncoder(const VideoSettings& settings, VideoFormat format)
    : settings_(settings), format_(format), gifTimeline_(settings.fps) {}

std::unique_ptr<PictureEncoder> PictureEncoder::create(const VideoSettings& settings, VideoFormat format,
                                                       bool globalHeader, std::string& error) {
    const FormatTraits& traits = traitsOf(format);
    const AVCodec* codec = avcodec_find_encoder_by_name(traits.videoEncoder);
    if (!codec) {
        error = std::string("this FFmpeg has no ") + traits.videoEncoder + " encoder; install " + traits.whatToInstall;
        return nullptr;
    }
    std::unique_ptr<PictureEncoder> encoder(new PictureEncoder(settings, format));
    encoder->codec_.reset(avcodec_alloc_context3(codec));
    encoder->packet_.reset(av_packet_alloc());
    if (!encoder->codec_ || !encoder->packet_) {
        error = "out of memory for the video encoder";
        return nullptr;
    }
    AVCodecContext* context = encoder->codec_.get();
    const bool h264In420 = format == VideoFormat::Mp4 && !settings.fullChroma;
    context->width = h264In420 ? (settings.width + 1) & ~1 : settings.width;
    context->height = h264In420 ? (settings.height + 1) & ~1 : settings.height;
    context->framerate = AVRational{settings.fps, 1};
    context->sample_aspect_ratio = AVRational{1, 1};
    if (format == VideoFormat::Gif) {
        context->pix_fmt = AV_PIX_FMT_PAL8;
        context->time_base = AVRational{1, 100};
    } else {
        context->pix_fmt = settings.fullChroma ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P;
        context->time_base = AVRational{1, settings.fps};
        context->color_primaries = AVCOL_PRI_BT709;
        context->color_trc = AVCOL_TRC_BT709;
        context->colorspace = AVCOL_SPC_BT709;
        context->color_range = AVCOL_RANGE_MPEG;
    }
    if (globalHeader) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (!configure(context, settings, format, error)) return nullptr;
    int result = avcodec_open2(context, codec, nullptr);
    if (result < 0) {
        error = ffmpegError(std::string("cannot start the ") + traits.videoEncoder + " encoder", result);
        return nullptr;
    }

    // 4:2:0 pictures are even-sized: an odd frame's last row and column are
    // repeated, so its edge keeps its colour.
    const bool halfChroma = format != VideoFormat::Gif && !settings.fullChroma;
    encoder->convertWidth_ = halfChroma ? (settings.width + 1) & ~1 : settings.width;
    encoder->convertHeight_ = halfChroma ? (settings.height + 1) & ~1 : settings.height;
    encoder->kernels_ = &yuv::bestKernels();
    return encoder;
}

bool PictureEncoder::writablePicture(FramePtr& picture, std::string& error) {
    {
        std::lock_guard<std::mutex> lock(spareMutex_);
        if (!sparePictures_.empty()) {
            picture = std::move(sparePictures_.back());
            sparePictures_.pop_back();
        }
    }
    // An encoder may still hold a sent picture's planes.
    if (picture && av_frame_is_writable(picture.get())) return true;
    if (!picture) picture.reset(av_frame_alloc());
    if (!picture) {
        error = "out of memory for the video encoder";
        return false;
    }
    AVFrame* frame = picture.get();
    av_frame_unref(frame);
    frame->format = codec_->pix_fmt;
    frame->width = convertWidth_;
    frame->height = convertHeight_;
    const int result = av_frame_get_buffer(frame, 0);
    if (result < 0) {
        error = ffmpegError("video frame", result);
        return false;
    }
    // The encoder reads only its own size of the planes.
    frame->width = codec_->width;
    frame->height = codec_->height;
    return true;
}

bool PictureEncoder::convert(const uint32_t* pixels, int32_t stride, FramePtr& picture, std::string& error) {
    picture.reset();
    const int64_t number = frameNumber_++;
    if (format_ == VideoFormat::Gif && !gifTimeline_.keep(number)) return true;
    if (!writablePicture(picture, error)) return false;
    AVFrame* frame = picture.get();
    frame->pts = format_ == VideoFormat::Gif ? gifTimeline_.timeOf(number) : number;
    if (format_ == VideoFormat::Gif) {
        quantizeFrame(pixels, settings_.width, settings_.height, stride, settings_.quality, settings_.dither,
                      paletted_);
        for (int32_t y = 0; y < settings_.height; ++y) {
            std::memcpy(frame->data[0] + static_cast<int64_t>(y) * frame->linesize[0],
                        paletted_.indices.data() + static_cast<int64_t>(y) * settings_.width,
                        static_cast<size_t>(settings_.width));
        }
        uint32_t* palette = reinterpret_cast<uint32_t*>(frame->data[1]);
        for (int k = 0; k < 256; ++k) {
            const size_t slot = static_cast<size_t>(k);
            palette[k] = 0xFF000000u | (slot < paletted_.palette.size() ? paletted_.palette[slot] : 0u);
        }
        return true;
    }

    const yuv::Planes planes = {{frame->data[0], frame->data[1], frame->data[2]},
                                {frame->linesize[0], frame->linesize[1], frame->linesize[2]}};
    yuv::convertFrame(*kernels_, pixels, stride, settings_.width, settings_.height, settings_.fullChroma, planes);
    return true;
}

bool PictureEncoder::send(FramePtr picture, const PacketSink& sink, std::string& error) {
    const bool sent = sendToCodec(picture.get(), sink, error);
    std::lock_guard<std::mutex> lock(spareMutex_);
    sparePictures_.push_back(std::move(picture));
    return sent;
}

bool PictureEncoder::flush(const PacketSink& sink, std::string& error) {
    if (!sendToCodec(nullptr, sink, error)) return false;
    if (heldGifPacket_) {
        heldGifPacket_->duration = gifTimeline_.endOf(frameNumber_) - heldGifPacket_->pts;
        if (!sink(heldGifPacket_.get(), error)) return false;
        heldGifPacket_.reset();
    }
    return true;
}

bool PictureEncoder::sendToCodec(AVFrame* frame, const PacketSink& sink, std::string& error) {
    const int result = avcodec_send_frame(codec_.get(), frame);
    if (result < 0) {
        error = ffmpegError("video encoder", result);
        return false;
    }
    return passOn(sink, error);
}

bool PictureEncoder::passOn(const PacketSink& sink, std::string& error) {
    for (;;) {
        const int result = avcodec_receive_packet(codec_.get(), packet_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
        if (result < 0) {
            error = ffmpegError("video encoder", result);
            return false;
        }
        if (format_ != VideoFormat::Gif) {
            packet_->duration = 1;
            if (!sink(packet_.get(), error)) return false;
            continue;
        }
        if (heldGifPacket_) {
            heldGifPacket_->duration = packet_->pts - heldGifPacket_->pts;
            if (!sink(heldGifPacket_.get(), error)) return false;
        } else {
            heldGifPacket_.reset(av_packet_alloc());
            if (!heldGifPacket_) {
                error = "out of memory for the video encoder";
                return false;
            }
        }
        av_packet_unref(heldGifPacket_.get());
        av_packet_move_ref(heldGifPacket_.get(), packet_.get());
    }
}

}  // namespace video
