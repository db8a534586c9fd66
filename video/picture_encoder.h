// Turns 0x00RRGGBB frames into the video stream's packets: H.264 or VP9
// through a colour conversion, or GIF through a palette of each frame's own.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "video/ffmpeg_handles.h"
#include "video/gif_palette.h"
#include "video/packet_sink.h"
#include "video/timeline.h"
#include "video/video_settings.h"
#include "video/yuv_rows.h"

namespace video {

class PictureEncoder {
public:
    // Settings already resolved. `globalHeader`: the container wants codec
    // headers out of band (MP4).
    static std::unique_ptr<PictureEncoder> create(const VideoSettings& settings, VideoFormat format,
                                                  bool globalHeader, std::string& error);

    AVCodecContext* context() const { return codec_.get(); }
    // The size actually encoded (H.264 in 4:2:0 pads odd sides by one pixel).
    int32_t encodedWidth() const { return codec_->width; }
    int32_t encodedHeight() const { return codec_->height; }

    // The two halves of encoding a frame, which may run on two threads: the
    // frames are converted in order on one, and the pictures sent in the same
    // order on the other.
    //
    // The next frame converted into a picture of its own. A null picture
    // means there is nothing to send (a GIF shows at most 50 a second).
    bool convert(const uint32_t* pixels, int32_t stride, FramePtr& picture, std::string& error);
    // Encodes a converted picture and passes its packets on; the picture is
    // kept for a later frame to reuse.
    bool send(FramePtr picture, const PacketSink& sink, std::string& error);
    // Drains the encoder; the last GIF picture is written here too.
    bool flush(const PacketSink& sink, std::string& error);

private:
    PictureEncoder(const VideoSettings& settings, VideoFormat format);
    bool writablePicture(FramePtr& picture, std::string& error);
    bool sendToCodec(AVFrame* frame, const PacketSink& sink, std::string& error);
    bool passOn(const PacketSink& sink, std::string& error);

    VideoSettings settings_;
    VideoFormat format_;
    CodecContextPtr codec_;
    PacketPtr packet_;
    std::mutex spareMutex_;
    std::vector<FramePtr> sparePictures_;  // sent, to be converted into again
    const yuv::RowKernels* kernels_ = nullptr;
    int32_t convertWidth_ = 0;
    int32_t convertHeight_ = 0;
    PalettedFrame paletted_;
    GifTimeline gifTimeline_;
    PacketPtr heldGifPacket_;  // its delay is known once the next picture's time is
    int64_t frameNumber_ = 0;
};

}  // namespace video
