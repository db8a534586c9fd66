// Where frames and sound samples fall in time. Frame k is shown at k / fps,
// and the sound track holds exactly the samples of the frames shown, so
// nothing drifts however long the clip.
#pragma once

#include <cstdint>

namespace video {

// Samples of a track at `sampleRate` that cover the first `frames` frames.
inline int64_t samplesForFrames(int64_t frames, int32_t sampleRate, int32_t fps) {
    return frames * sampleRate / fps;
}

// A GIF counts time in hundredths of a second and browsers stretch any delay
// below two of them, so at most 50 pictures a second are shown. Up to 50 fps
// every frame is kept at its rounded time; above, one frame per fiftieth of a
// second is kept, the first that falls in it.
class GifTimeline {
public:
    explicit GifTimeline(int32_t fps) : fps_(fps) {}

    // Hundredths of a second from which frame `frame` would be shown.
    int64_t timeOf(int64_t frame) const {
        if (fps_ <= kMaxShownFps) return (200 * frame + fps_) / (2 * fps_);
        return 2 * (frame * kMaxShownFps / fps_);
    }

    // Hundredths of a second at which a clip of `frames` frames ends; the last
    // picture is shown for two at least.
    int64_t endOf(int64_t frames) const {
        if (frames <= 0) return 0;
        const int64_t end = (200 * frames + fps_) / (2 * fps_);
        return end > timeOf(frames - 1) + 2 ? end : timeOf(frames - 1) + 2;
    }

    // Whether frame `frame` starts a picture of its own.
    bool keep(int64_t frame) const { return frame == 0 || timeOf(frame) > timeOf(frame - 1); }

    static constexpr int32_t kMaxShownFps = 50;

private:
    int32_t fps_;
};

}  // namespace video
