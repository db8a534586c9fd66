// The music as it is heard: a song played from --start (or the sound of a
// recording device), with every sample that reaches the speaker analysed as
// it goes, no look-ahead, so that the picture follows what is heard. The
// sound side runs on SDL's audio thread; the frame side on the render thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/frame_view.h"
#include "audio/pcm.h"
#include "audio/stream_analyzer.h"
#include "standin/music_frame.h"

namespace live {

class HeardMusic {
public:
    // A song (already at the analysis rate, from --start) or, empty, a
    // recording device's sound. `startSeconds` is where the song's first
    // sample sits in it.
    HeardMusic(audio::StereoPcm song, double startSeconds, bool loop);

    // Sound side. Playback: the next `frames` samples of the song (silence
    // past its end unless looping, and while paused).
    void play(float* interleavedStereo, int frames);
    // Recording: samples that have just been heard.
    void heard(const float* interleavedStereo, int frames);
    void setPaused(bool paused) { paused_.store(paused); }
    // From the song's start again, analysis forgotten.
    void restart();

    // Frame side: the block for frame `number` from what was heard until
    // now; `beat` is whether the analysis heard a beat since the last frame.
    void fill(int32_t number, standin::MusicFrame& frame, bool& beat);
    // Frame side: while on, every sample heard is also kept for a video's
    // sound track; takeKept() hands them over (interleaved) and forgets them.
    void keepForRecording(bool on);
    void takeKept(std::vector<float>& samples);

private:
    const audio::StereoPcm song_;
    const double startSeconds_;
    const bool loop_;
    std::atomic<bool> paused_{false};

    std::mutex mutex_;            // guards what follows, between the two sides
    std::vector<float> fresh_;    // heard, not yet analysed (interleaved)
    long long playPosition_ = 0;  // the song's next sample to play
    long long heardSamples_ = 0;  // samples heard since the start
    bool restartPending_ = false;

    // Frame side only.
    std::unique_ptr<audio::StreamAnalyzer> analyzer_;
    audio::StereoPcm recent_;  // the last samples heard, oldest first
    audio::FrameViewer viewer_;
    bool keeping_ = false;
    std::vector<float> kept_;
};

}  // namespace live
