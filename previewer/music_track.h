// The music a render follows (--audio, --fps, --start, --beats): per frame,
// the block the stand-in host hands every script run and the beat flag.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/frame_view.h"
#include "audio/pcm.h"
#include "audio/track_analysis.h"
#include "previewer/options.h"
#include "standin/music_frame.h"

namespace previewer {

class MusicTrack {
public:
    // Decodes and analyses the options' audio file, if any. Null with `error`
    // (naming the file) when it cannot be read; `warnings` get one line each
    // for damage decoded past.
    static std::unique_ptr<MusicTrack> load(const Options& options, std::string& error,
                                            std::vector<std::string>& warnings);
    // The same for music decoded elsewhere (from the options' start, at the
    // analysis rate); `pcm` must hold at least one sample.
    static std::unique_ptr<MusicTrack> fromPcm(const Options& options, audio::StereoPcm pcm);

    bool hasMusic() const { return hasMusic_; }
    // The music from --start at the analysis rate.
    const audio::StereoPcm& pcm() const { return pcm_; }
    // Frames that cover the music from --start to its end at --fps.
    int32_t framesOfMusic() const;

    // The block for frame `number`: its time and index always, the music
    // heard then when there is some (silence past the end).
    void fill(int32_t number, standin::MusicFrame& frame);
    bool isBeat(int32_t number) const;
    // Whether the scripts may read the waveform or the spectrum; when not,
    // frames skip working them out (they read as silence).
    void setSignalNeeded(bool needed) { signalNeeded_ = needed; }

private:
    explicit MusicTrack(const Options& options) : options_(options) {}
    // Takes the analysis of pcm_ and works out the beat frames.
    void adopt(audio::TrackAnalysis analysis);

    Options options_;
    bool hasMusic_ = false;
    bool signalNeeded_ = true;
    audio::StereoPcm pcm_;
    std::unique_ptr<audio::TrackAnalysis> analysis_;
    std::vector<bool> beats_;
    std::unique_ptr<audio::FrameViewer> viewer_;
};

}  // namespace previewer
