#include "video/video_writer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "video/encoding_thread.h"
#include "video/ffmpeg_handles.h"
#include "video/picture_encoder.h"
#include "video/sound_encoder.h"

namespace video {

bool installedEncoder(const char* name) { return avcodec_find_encoder_by_name(name) != nullptr; }

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool checkFolder(const std::string& path, std::string& error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = path + ": is a directory";
        return false;
    }
    const std::string folder = folderOf(path);
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = path + ": no folder " + folder;
        return false;
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        error = path + ": folder " + folder + " is not writable";
        return false;
    }
    return true;
}

}  // namespace

struct VideoWriter::State {
    VideoSettings settings;
    VideoFormat format = VideoFormat::Mp4;
    std::string writePath;
    OutputContextPtr output;
    std::unique_ptr<PictureEncoder> pictures;
    std::unique_ptr<SoundEncoder> sound;
    AVStream* pictureStream = nullptr;
    AVStream* soundStream = nullptr;
    int64_t frames = 0;  // handed to the encoding thread
    bool headerWritten = false;
    bool done = false;
    // Declared last, so that it stops before anything its jobs use goes.
    std::unique_ptr<EncodingThread> encoding;

    bool write(AVPacket* packet, AVCodecContext* codec, AVStream* stream, std::string& error) {
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        const int result = av_interleaved_write_frame(output.get(), packet);
        if (result < 0) {
            error = ffmpegError(writePath, result);
            return false;
        }
        return true;
    }
    PacketSink pictureSink() {
        return [this](AVPacket* packet, std::string& error) {
            return write(packet, pictures->context(), pictureStream, error);
        };
    }
    PacketSink soundSink() {
        return [this](AVPacket* packet, std::string& error) {
            return write(packet, sound->context(), soundStream, error);
        };
    }
};

bool VideoWriter::check(VideoSettings& settings, std::string& error, const EncoderLookup& hasEncoder) {
    VideoFormat format{};
    if (!formatOfPath(settings.path, format)) {
        error = settings.path + ": use a " + supportedExtensions() + " file name";
        return false;
    }
    const FormatTraits& traits = traitsOf(format);
    if (!resolveSettings(settings, format, error)) return false;
    if (settings.audioSampleRate > 0 && !traits.audioEncoder) {
        error = settings.path + ": a " + traits.extension + " file has no sound track";
        return false;
    }
    const char* needed[2] = {traits.videoEncoder, settings.audioSampleRate > 0 ? traits.audioEncoder : nullptr};
    for (const char* name : needed) {
        if (name && !hasEncoder(name)) {
            error = std::string("this FFmpeg has no ") + name + " encoder, which " + traits.extension +
                    " files need; install " + traits.whatToInstall;
            return false;
        }
    }
    return checkFolder(settings.path, error);
}

VideoWriter::VideoWriter(std::unique_ptr<State> state) : state_(std::move(state)) {}

VideoWriter::~VideoWriter() {
    if (!state_->done) abort();
}

std::unique_ptr<VideoWriter> VideoWriter::open(const VideoSettings& given, std::string& error,
                                               const std::string& writePath) {
    // Encoders report through the caller's own messages, not on the terminal.
    av_log_set_level(AV_LOG_ERROR);
    auto state = std::make_unique<State>();
    state->settings = given;
    if (!formatOfPath(given.path, state->format)) {
        error = given.path + ": use a " + supportedExtensions() + " file name";
        return nullptr;
    }
    if (!resolveSettings(state->settings, state->format, error)) return nullptr;
    const VideoSettings& settings = state->settings;
    const FormatTraits& traits = traitsOf(state->format);
    state->writePath = writePath.empty() ? settings.path : writePath;

    AVFormatContext* output = nullptr;
    int result = avformat_alloc_output_context2(&output, nullptr, traits.muxer, state->writePath.c_str());
    if (result < 0 || !output) {
        error = ffmpegError(std::string("no ") + traits.muxer + " container in this FFmpeg", result);
        return nullptr;
    }
    state->output.reset(output);
    const bool globalHeader = output->oformat->flags & AVFMT_GLOBALHEADER;

    state->pictures = PictureEncoder::create(settings, state->format, globalHeader, error);
    if (!state->pictures) return nullptr;
    if (settings.audioSampleRate > 0) {
        state->sound = SoundEncoder::create(settings, state->format, globalHeader, error);
        if (!state->sound) return nullptr;
    }

    const auto addStream = [&](AVCodecContext* codec) -> AVStream* {
        AVStream* stream = avformat_new_stream(output, nullptr);
        if (!stream) return nullptr;
        if (avcodec_parameters_from_context(stream->codecpar, codec) < 0) return nullptr;
        stream->time_base = codec->time_base;
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO) {
            stream->avg_frame_rate = codec->framerate;
            stream->sample_aspect_ratio = codec->sample_aspect_ratio;
        }
        return stream;
    };
    state->pictureStream = addStream(state->pictures->context());
    if (state->sound) state->soundStream = addStream(state->sound->context());
    if (!state->pictureStream || (state->sound && !state->soundStream)) {
        error = "out of memory for the video file";
        return nullptr;
    }

    result = avio_open(&output->pb, state->writePath.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        error = ffmpegError(state->writePath, result);
        return nullptr;
    }
    std::unique_ptr<VideoWriter> writer(new VideoWriter(std::move(state)));
    AVDictionary* options = nullptr;
    // MP4: the index up front, so that browsers start playing at once.
    if (writer->state_->format == VideoFormat::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
    // GIF: loop for ever.
    if (writer->state_->format == VideoFormat::Gif) av_dict_set(&options, "loop", "0", 0);
    result = avformat_write_header(output, &options);
    av_dict_free(&options);
    if (result < 0) {
        error = ffmpegError(writer->state_->writePath, result);
        return nullptr;  // the destructor removes the file
    }
    writer->state_->headerWritten = true;
    // One frame waits while another is encoded: enough to keep both busy.
    writer->state_->encoding.reset(new EncodingThread(1));
    return writer;
}

bool VideoWriter::writeSound(const float* interleavedStereo, int32_t sampleFrames, std::string& error) {
    State& state = *state_;
    if (!state.sound || sampleFrames <= 0) return true;
    auto samples = std::make_shared<std::vector<float>>(interleavedStereo, interleavedStereo + 2 * sampleFrames);
    return state.encoding->post(
        [&state, samples](std::string& jobError) {
            return state.sound->add(samples->data(), static_cast<int32_t>(samples->size() / 2), jobError);
        },
        error);
}

bool VideoWriter::writeFrame(const uint32_t* pixels, int32_t stride, std::string& error) {
    State& state = *state_;
    FramePtr converted;
    if (!state.pictures->convert(pixels, stride, converted, error)) return false;
    const int64_t frames = ++state.frames;
    auto picture = std::make_shared<FramePtr>(std::move(converted));
    return state.encoding->post(
        [&state, picture, frames](std::string& jobError) {
            if (*picture && !state.pictures->send(std::move(*picture), state.pictureSink(), jobError)) return false;
            return !state.sound || state.sound->encodeUpTo(frames, state.soundSink(), jobError);
        },
        error);
}

bool VideoWriter::finish(std::string& error) {
    State& state = *state_;
    if (state.done) {
        error = "video already finished";
        return false;
    }
    if (!state.encoding->drain(error)) return false;
    state.encoding.reset();
    if (!state.pictures->flush(state.pictureSink(), error)) return false;
    if (state.sound && !state.sound->finish(state.frames, state.soundSink(), error)) return false;
    int result = av_write_trailer(state.output.get());
    if (result >= 0) result = avio_closep(&state.output->pb);
    if (result < 0) {
        error = ffmpegError(state.writePath, result);
        return false;
    }
    state.done = true;
    return true;
}

void VideoWriter::abort() {
    State& state = *state_;
    if (state.done) return;
    state.done = true;
    state.encoding.reset();
    // FFmpeg's GIF muxer frees the picture it holds back only in its trailer.
    if (state.headerWritten && state.format == VideoFormat::Gif) av_write_trailer(state.output.get());
    state.pictures.reset();
    state.sound.reset();
    state.output.reset();
    std::remove(state.writePath.c_str());
}

int64_t VideoWriter::framesWritten() const { return state_->frames; }

std::string VideoWriter::description() const {
    const State& state = *state_;
    const VideoSettings& settings = state.settings;
    const AVCodecContext* codec = state.pictures->context();
    std::string text;
    const std::string size = std::to_string(codec->width) + "x" + std::to_string(codec->height);
    switch (state.format) {
    case VideoFormat::Mp4:
    case VideoFormat::WebM: {
        const bool mp4 = state.format == VideoFormat::Mp4;
        text = std::string(mp4 ? "MP4: H.264 " : "WebM: VP9 ") + size + (settings.fullChroma ? " 4:4:4" : " 4:2:0") +
               " CRF " + std::to_string(settings.quality) + (mp4 ? " preset " : " cpu-used ") + settings.speed;
        break;
    }
    case VideoFormat::Gif:
        text = "GIF: " + size + ", up to " + std::to_string(settings.quality) + " colours a frame" +
               (settings.dither ? ", dithered" : "") + ", looping";
        break;
    }
    text += ", " + std::to_string(settings.fps) + " fps";
    if (state.format == VideoFormat::Gif && settings.fps > 50) text += " (shown at most 50 a second)";
    if (state.sound) {
        text += std::string("; ") + (state.format == VideoFormat::Mp4 ? "AAC" : "Opus") + " " +
                std::to_string(state.sound->sampleRate() / 1000) + " kHz stereo";
    }
    return text;
}

}  // namespace video
