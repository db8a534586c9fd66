// The effects of a live session and everything that happens to them between
// frames: beats, blend modes, clearing, restarting, and preset files that
// change on disk. One thread at a time (the render thread) calls it.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "live/heard_music.h"
#include "live/live_options.h"
#include "previewer/image.h"
#include "previewer/music_track.h"
#include "previewer/preset_file.h"
#include "previewer/session.h"
#include "standin/music_frame.h"

namespace live {

// What the scripts heard in the last frame, for the overlay.
struct FrameFacts {
    int32_t number = -1;  // -1: nothing drawn yet
    bool beat = false;
    double drawSeconds = 0;
    double bass = 0, mid = 0, treble = 0;
};

class LiveEngine {
public:
    // A line for stderr (without the program's name).
    using Say = std::function<void(const std::string&)>;

    // Loads the presets, already read, into fresh effects. Null with `error`.
    static std::unique_ptr<LiveEngine> start(const LiveOptions& options, std::vector<previewer::PresetFile> presets,
                                             Say say, std::string& error);
    ~LiveEngine();

    // Draws the next frame into the frame buffer.
    void drawFrame();
    const previewer::Image& frame() const { return session_->frame(); }
    const FrameFacts& lastFrame() const { return facts_; }
    int32_t nextFrameNumber() const { return next_; }

    // The next frame is a beat frame.
    void beatNow() { beatPending_ = true; }
    // Host blend mode 0-9; a mix ratio already set is kept.
    void setBlendMode(int mode);
    uint32_t blendModeWord() const { return blendModeWord_; }
    void clearFrame() { session_->clearFrame(); }
    // Frame 0 again, with new effects made from the latest good scripts.
    bool restart(std::string& error);

    // With --audio or --input: the music the sound device plays or records
    // (null otherwise). Until a device is attached, the song is played
    // silently, a frame's worth of samples per frame.
    HeardMusic* heardMusic() { return heard_.get(); }
    void soundDeviceAttached() { silent_ = false; }
    // The song holds still while the picture does.
    void setPaused(bool paused);

    // Preset `index`'s file was written, replaced or removed: the sections
    // that differ go to the effect as the editor panel would hand them over.
    void presetFileChanged(size_t index);
    // One line per section that does not compile and per file that cannot be
    // used now, for the window.
    const std::vector<std::string>& diagnostics() const { return diagnostics_; }

private:
    LiveEngine(const LiveOptions& options, Say say) : options_(options), say_(std::move(say)) {}
    void checkScripts();
    void noteRecompiles();
    void playSilently(int32_t number);

    LiveOptions options_;
    Say say_;
    std::vector<previewer::PresetFile> presets_;  // the latest good text of each
    std::vector<std::string> fileProblems_;       // per preset: why its file is not used now
    std::vector<int32_t> changeSeenAt_;           // per preset: -1, or the frame a change was seen
    std::vector<std::string> diagnostics_;
    std::unique_ptr<previewer::Session> session_;
    std::unique_ptr<previewer::MusicTrack> music_;  // time and beats without a song
    std::unique_ptr<HeardMusic> heard_;
    bool silent_ = true;  // no device plays heard_
    long long silentSamples_ = 0;
    std::vector<float> silentBuffer_;
    std::unique_ptr<standin::MusicFrame> musicFrame_;
    std::ofstream frameLog_;
    uint32_t blendModeWord_ = 0;
    int32_t next_ = 0;
    bool beatPending_ = false;
    FrameFacts facts_;
};

}  // namespace live
