// The playground's engine: one preset drawn through the previewer's session
// (the stand-in host and one effect, as triangle-render draws it), the music
// it hears, and the compile diagnostics the page shows. One thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/frame_view.h"
#include "audio/stream_analyzer.h"
#include "previewer/music_track.h"
#include "previewer/options.h"
#include "previewer/preset_file.h"
#include "previewer/session.h"
#include "standin/music_frame.h"
#include "standin/standin_host.h"

namespace web {

enum class MusicSource { Silence, Song, Live };

// What one frame did, as bits for the page.
enum FrameFlags : int32_t { kRecompiled = 1, kBeat = 2 };

class PlaygroundEngine {
public:
    static constexpr int32_t kFps = 60;

    PlaygroundEngine();

    // Starts drawing afresh at this size with the current sections: a new
    // effect, which compiles on its first frame and runs init once.
    bool start(int32_t width, int32_t height);
    // A section for the next start (loading a preset).
    void setSection(int index, const std::string& text);
    // A keystroke in a code box: the effect's own edit path, so the old
    // scripts run on and all four recompile on the 21st frame.
    void editSection(int index, const std::string& text);
    const std::string& section(int index) const { return sections_[static_cast<size_t>(index)]; }
    void setBlend(int32_t mode, int32_t ratio);

    // Draws the next frame; `musicFrame` is the frame of the music heard now
    // (frames at kFps), `beatPressed` the page's beat button. FrameFlags bits.
    int32_t renderFrame(int32_t musicFrame, bool beatPressed);
    int32_t framesDrawn() const { return framesDrawn_; }
    int32_t recompileCounter() const;

    int32_t width() const { return options_.width; }
    int32_t height() const { return options_.height; }
    const uint32_t* frameWords() const;
    // The frame as canvas pixels: red, green, blue, opaque alpha.
    const uint8_t* rgba();

    // The diagnostic of each section at its last compilation; false when it compiled.
    bool diagnostic(int index, StandinDiagnostic& out) const;

    // A decoded song at the analysis rate, replacing any before it.
    void setSong(audio::StereoPcm pcm);
    bool hasSong() const { return song_ != nullptr; }
    int32_t songFrames() const { return song_ ? song_->framesOfMusic() : 0; }
    // The per-frame log of the song's first `frames` frames, line for line
    // what triangle-render --log-frames writes.
    std::string songLog(int32_t frames);

    // Live input, as it arrives.
    void pushLive(const float* left, const float* right, size_t count);

    void setMusicSource(MusicSource source) { source_ = source; }

private:
    bool fillMusic(int32_t musicFrame);
    void fillLive(int32_t musicFrame);
    void checkSections();

    previewer::Options options_;
    std::array<std::string, previewer::kPresetSections> sections_;
    std::unique_ptr<previewer::Session> session_;
    int32_t framesDrawn_ = 0;
    std::vector<uint8_t> rgba_;
    std::array<StandinDiagnostic, previewer::kPresetSections> diagnostics_{};
    std::array<bool, previewer::kPresetSections> failed_{};

    MusicSource source_ = MusicSource::Silence;
    std::unique_ptr<standin::MusicFrame> music_;
    std::unique_ptr<previewer::MusicTrack> song_;
    int32_t lastMusicFrame_ = -1;
    audio::StreamAnalyzer live_;
    audio::StereoPcm liveRecent_;  // the latest samples, for wave and spectrum
    audio::FrameViewer liveViewer_;
};

}  // namespace web
