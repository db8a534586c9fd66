#include "web/playground_engine.h"

#include <algorithm>

#include "effect/sections.h"
#include "effect/triangle_effect.h"
#include "previewer/frame_log.h"

namespace web {

namespace {
// Live input kept for the waveform and the spectrum: one spectrum window.
constexpr size_t kLiveSamples = audio::kSpectrumWindow;
}  // namespace

PlaygroundEngine::PlaygroundEngine() : music_(new standin::MusicFrame) {
    options_.fps = kFps;
    options_.quiet = true;
}

bool PlaygroundEngine::start(int32_t width, int32_t height) {
    session_.reset();  // one session (one installed host) at a time
    options_.width = width;
    options_.height = height;
    previewer::PresetFile preset;
    preset.sections = sections_;
    std::string error;
    session_ = previewer::Session::start(options_, {preset}, error);
    framesDrawn_ = 0;
    lastMusicFrame_ = -1;
    failed_ = {};
    return session_ != nullptr;
}

void PlaygroundEngine::setSection(int index, const std::string& text) { sections_.at(static_cast<size_t>(index)) = text; }

void PlaygroundEngine::editSection(int index, const std::string& text) {
    setSection(index, text);
    if (!session_) return;
    session_->effect(0)->acceptEdit(effect::kSections[static_cast<size_t>(index)].section,
                                    effect::TriangleEffect::newCodeString(text.data(), text.size()));
}

void PlaygroundEngine::setBlend(int32_t mode, int32_t ratio) {
    options_.blendModeWord = static_cast<uint32_t>(mode & 0xFF) | static_cast<uint32_t>(ratio & 0xFF) << 8;
    standin_set_blend_mode_word(options_.blendModeWord);
}

int32_t PlaygroundEngine::recompileCounter() const { return session_ ? session_->effect(0)->recompileCounter() : 0; }

int32_t PlaygroundEngine::renderFrame(int32_t musicFrame, bool beatPressed) {
    if (!session_) return 0;
    const bool beat = fillMusic(musicFrame) || beatPressed;
    const bool due = recompileCounter() == effect::TriangleEffect::kRecompileFrame;
    session_->renderFrame(framesDrawn_, beat, standin::asVisData(music_.get()));
    ++framesDrawn_;
    const bool recompiled = due && recompileCounter() == effect::TriangleEffect::kCounterRest;
    if (recompiled) checkSections();
    return (recompiled ? kRecompiled : 0) | (beat ? kBeat : 0);
}

bool PlaygroundEngine::fillMusic(int32_t musicFrame) {
    bool beat = false;
    switch (source_) {
        case MusicSource::Song:
            if (song_) {
                song_->fill(musicFrame, *music_);
                // Frames the page did not draw still had their beats.
                const int32_t from = musicFrame > lastMusicFrame_ ? lastMusicFrame_ + 1 : musicFrame;
                for (int32_t k = std::max(from, musicFrame - kFps); k <= musicFrame; ++k) beat = beat || song_->isBeat(k);
                break;
            }
            [[fallthrough]];
        case MusicSource::Silence:
            *music_ = standin::MusicFrame();
            music_->time = musicFrame / static_cast<double>(kFps);
            music_->frameIndex = musicFrame;
            break;
        case MusicSource::Live:
            fillLive(musicFrame);
            beat = live_.takeBeat();
            break;
    }
    lastMusicFrame_ = musicFrame;
    return beat;
}

void PlaygroundEngine::fillLive(int32_t musicFrame) {
    music_->time = musicFrame / static_cast<double>(kFps);
    music_->frameIndex = musicFrame;
    music_->bass = live_.bass();
    music_->mid = live_.mid();
    music_->treble = live_.treble();
    music_->tempo = live_.tempo();
    music_->binHz = audio::kSpectrumBinHz;
    // The window centred a little before the newest sample: what is heard now.
    const double centre = (static_cast<double>(liveRecent_.frames()) - audio::kWaveSamples / 2.0) / audio::kAnalysisRate;
    liveViewer_.waveform(liveRecent_, centre, music_->wave[standin::MusicFrame::kLeft],
                         music_->wave[standin::MusicFrame::kRight]);
    liveViewer_.spectrum(liveRecent_, centre, music_->spectrum[standin::MusicFrame::kLeft],
                         music_->spectrum[standin::MusicFrame::kRight]);
}

void PlaygroundEngine::pushLive(const float* left, const float* right, size_t count) {
    live_.push(left, right, count);
    liveRecent_.left.insert(liveRecent_.left.end(), left, left + count);
    liveRecent_.right.insert(liveRecent_.right.end(), right, right + count);
    if (liveRecent_.left.size() > kLiveSamples) {
        const auto drop = static_cast<std::ptrdiff_t>(liveRecent_.left.size() - kLiveSamples);
        liveRecent_.left.erase(liveRecent_.left.begin(), liveRecent_.left.begin() + drop);
        liveRecent_.right.erase(liveRecent_.right.begin(), liveRecent_.right.begin() + drop);
    }
}

void PlaygroundEngine::checkSections() {
    for (size_t s = 0; s < effect::kSectionCount; ++s) {
        char* text = session_->effect(0)->copySection(effect::kSections[s].section);
        failed_[s] = text != nullptr && standin_check_script(text, &diagnostics_[s]) == 0;
        effect::TriangleEffect::freeCodeString(text);
    }
}

bool PlaygroundEngine::diagnostic(int index, StandinDiagnostic& out) const {
    if (!failed_.at(static_cast<size_t>(index))) return false;
    out = diagnostics_[static_cast<size_t>(index)];
    return true;
}

const uint32_t* PlaygroundEngine::frameWords() const { return session_ ? session_->frame().pixels.data() : nullptr; }

const uint8_t* PlaygroundEngine::rgba() {
    if (!session_) return nullptr;
    const std::vector<uint32_t>& words = session_->frame().pixels;
    rgba_.resize(words.size() * 4);
    uint8_t* out = rgba_.data();
    for (uint32_t word : words) {
        out[0] = static_cast<uint8_t>(word >> 16);
        out[1] = static_cast<uint8_t>(word >> 8);
        out[2] = static_cast<uint8_t>(word);
        out[3] = 0xFF;
        out += 4;
    }
    return rgba_.data();
}

void PlaygroundEngine::setSong(audio::StereoPcm pcm) {
    song_.reset();
    if (pcm.frames() == 0) return;
    song_ = previewer::MusicTrack::fromPcm(options_, std::move(pcm));
    lastMusicFrame_ = -1;
}

std::string PlaygroundEngine::songLog(int32_t frames) {
    if (!song_) return std::string();
    previewer::FrameLog log;
    standin::MusicFrame frame;
    for (int32_t k = 0; k < frames; ++k) {
        song_->fill(k, frame);
        log.add(frame, song_->isBeat(k));
    }
    return log.text();
}

}  // namespace web
