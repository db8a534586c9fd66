#include "previewer/video_output.h"

#include "frontend/temporary_file.h"
#include "video/video_writer.h"

namespace previewer {

namespace {

video::VideoSettings settingsOf(const Options& options, int32_t sampleRate) {
    video::VideoSettings settings;
    settings.path = options.videoFile;
    settings.width = options.width;
    settings.height = options.height;
    settings.fps = options.fps;
    settings.quality = options.videoQuality;
    settings.speed = options.videoSpeed;
    settings.fullChroma = options.videoFullChroma;
    settings.dither = options.videoDither;
    settings.audioSampleRate = sampleRate;
    return settings;
}

}  // namespace

struct VideoOutput::Parts {
    explicit Parts(const std::string& target) : file(target) {}
    frontend::TemporaryFile file;
    std::unique_ptr<video::VideoWriter> writer;
    SoundFeed* sound = nullptr;
    int32_t frames = 0;
    std::vector<float> samples;
};

bool checkVideoOutput(const Options& options, bool withSound, std::string& error) {
    // Any rate will do here: only whether there is sound matters.
    video::VideoSettings settings = settingsOf(options, withSound ? 48000 : 0);
    if (video::VideoWriter::check(settings, error)) return true;
    error = "--video " + options.videoFile + ": " + error;
    return false;
}

VideoOutput::VideoOutput(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

VideoOutput::~VideoOutput() = default;

std::unique_ptr<VideoOutput> VideoOutput::start(const Options& options, SoundFeed* sound, std::string& error) {
    auto parts = std::make_unique<Parts>(options.videoFile);
    parts->sound = sound;
    if (!parts->file.create(error)) return nullptr;
    const video::VideoSettings settings = settingsOf(options, sound ? sound->sampleRate() : 0);
    parts->writer = video::VideoWriter::open(settings, error, parts->file.path());
    if (!parts->writer) {
        error = "--video " + options.videoFile + ": " + error;
        return nullptr;
    }
    return std::unique_ptr<VideoOutput>(new VideoOutput(std::move(parts)));
}

bool VideoOutput::add(const Image& frame, std::string& error) {
    Parts& parts = *parts_;
    ++parts.frames;
    if (parts.sound) {
        parts.sound->samplesUpTo(parts.frames, parts.samples);
        if (!parts.writer->writeSound(parts.samples.data(), static_cast<int32_t>(parts.samples.size() / 2), error))
            return false;
    }
    if (parts.writer->writeFrame(frame.pixels.data(), frame.width, error)) return true;
    error = "--video " + parts.file.target() + ": " + error;
    return false;
}

bool VideoOutput::finish(std::string& error) {
    Parts& parts = *parts_;
    if (!parts.writer->finish(error)) {
        error = "--video " + parts.file.target() + ": " + error;
        return false;
    }
    return parts.file.commit(error);
}

std::string VideoOutput::description() const { return parts_->writer->description(); }

}  // namespace previewer
