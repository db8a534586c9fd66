// The song from --start as a video's sound track, a frame's worth at a time.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/pcm.h"
#include "previewer/video_output.h"

namespace previewer {

class MusicSoundFeed : public SoundFeed {
public:
    MusicSoundFeed(const audio::StereoPcm& pcm, int32_t fps) : pcm_(pcm), fps_(fps) {}

    int32_t sampleRate() const override { return audio::kAnalysisRate; }

    // Frame k is shown at k / fps; counting samples from frame numbers, never
    // adding up per-frame durations, keeps a long clip from drifting.
    void samplesUpTo(int32_t frames, std::vector<float>& interleavedStereo) override {
        const int64_t until = static_cast<int64_t>(frames) * audio::kAnalysisRate / fps_;
        interleavedStereo.clear();
        for (; next_ < until; ++next_) {
            interleavedStereo.push_back(pcm_.sample(0, next_));
            interleavedStereo.push_back(pcm_.sample(1, next_));
        }
    }

private:
    const audio::StereoPcm& pcm_;
    int32_t fps_;
    int64_t next_ = 0;
};

}  // namespace previewer
