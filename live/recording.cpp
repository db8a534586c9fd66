#include "live/recording.h"

#include <algorithm>

#include "live/screenshot.h"

namespace live {

// The samples heard while recording, cut to a frame's worth each frame
// (counted from frame numbers, so the track never drifts from the picture);
// short of samples, silence fills in, and a surplus waits for the next frame.
class Recording::HeardSound : public previewer::SoundFeed {
public:
    HeardSound(HeardMusic& music, int32_t fps) : music_(music), fps_(fps) {}
    int32_t sampleRate() const override { return audio::kAnalysisRate; }
    void samplesUpTo(int32_t frames, std::vector<float>& interleavedStereo) override {
        std::vector<float> fresh;
        music_.takeKept(fresh);
        pending_.insert(pending_.end(), fresh.begin(), fresh.end());
        const int64_t until = static_cast<int64_t>(frames) * audio::kAnalysisRate / fps_;
        const size_t wanted = static_cast<size_t>(until - handed_) * 2;
        handed_ = until;
        const size_t available = std::min(wanted, pending_.size());
        interleavedStereo.assign(pending_.begin(), pending_.begin() + static_cast<long>(available));
        interleavedStereo.resize(wanted, 0.0f);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(available));
    }

private:
    HeardMusic& music_;
    int32_t fps_;
    int64_t handed_ = 0;
    std::vector<float> pending_;
};

Recording::~Recording() {
    if (music_ != nullptr) music_->keepForRecording(false);
}

std::unique_ptr<Recording> Recording::start(const LiveOptions& options, int32_t firstFrame, HeardMusic* music,
                                            std::string& error) {
    std::unique_ptr<Recording> recording(new Recording);
    recording->name_ = freeName(firstFrame, ".mp4");
    previewer::Options video = options.render;
    video.videoFile = recording->name_;
    if (!previewer::checkVideoOutput(video, music != nullptr, error)) return nullptr;
    if (music != nullptr) {
        recording->music_ = music;
        recording->sound_ = std::make_unique<HeardSound>(*music, options.render.fps);
        music->keepForRecording(true);
    }
    recording->video_ = previewer::VideoOutput::start(video, recording->sound_.get(), error);
    if (!recording->video_) return nullptr;
    return recording;
}

bool Recording::add(const previewer::Image& frame, std::string& error) {
    ++frames_;
    return video_->add(frame, error);
}

bool Recording::finish(std::string& error) { return video_->finish(error); }

}  // namespace live
