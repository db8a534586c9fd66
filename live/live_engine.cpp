#include "live/live_engine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "effect/triangle_effect.h"
#include "previewer/audio_file.h"
#include "previewer/frame_log.h"
#include "previewer/script_check.h"
#include "standin/standin_host.h"

namespace live {

std::unique_ptr<LiveEngine> LiveEngine::start(const LiveOptions& options, std::vector<previewer::PresetFile> presets,
                                              Say say, std::string& error) {
    std::unique_ptr<LiveEngine> engine(new LiveEngine(options, std::move(say)));
    engine->presets_ = std::move(presets);
    engine->fileProblems_.assign(engine->presets_.size(), std::string());
    engine->changeSeenAt_.assign(engine->presets_.size(), -1);
    engine->blendModeWord_ = options.render.blendModeWord;
    std::vector<std::string> warnings;
    // The song is analysed as it is heard, not ahead (MusicTrack's way).
    previewer::Options timing = options.render;
    timing.audioFile.clear();
    engine->music_ = previewer::MusicTrack::load(timing, error, warnings);
    if (!engine->music_) return nullptr;
    if (!options.render.audioFile.empty()) {
        audio::DecodeOptions decode;
        decode.start = options.render.startSeconds;
        audio::StereoPcm pcm;
        const audio::SampleSink keep = [&pcm](const float* left, const float* right, size_t count) {
            pcm.left.insert(pcm.left.end(), left, left + count);
            pcm.right.insert(pcm.right.end(), right, right + count);
        };
        const audio::LengthHint makeRoom = [&pcm](size_t frames) {
            pcm.left.reserve(frames);
            pcm.right.reserve(frames);
        };
        const audio::DecodeResult song = previewer::readAudioFile(options.render.audioFile, decode, keep, makeRoom);
        if (!song.ok) {
            error = "--audio " + options.render.audioFile + ": " + song.error;
            return nullptr;
        }
        for (const std::string& warning : song.warnings)
            warnings.push_back("--audio " + options.render.audioFile + ": " + warning);
        engine->heard_ = std::make_unique<HeardMusic>(std::move(pcm), options.render.startSeconds, options.loop);
    } else if (options.input) {
        engine->heard_ = std::make_unique<HeardMusic>(audio::StereoPcm(), 0.0, false);
    }
    for (const std::string& warning : warnings) engine->say_("warning: " + warning);
    engine->musicFrame_ = std::make_unique<standin::MusicFrame>();
    if (!options.render.logFramesFile.empty()) {
        engine->frameLog_.open(options.render.logFramesFile, std::ios::out | std::ios::trunc);
        if (!engine->frameLog_) {
            error = "--log-frames " + options.render.logFramesFile + ": cannot write";
            return nullptr;
        }
    }
    if (!engine->restart(error)) return nullptr;
    engine->checkScripts();
    return engine;
}

LiveEngine::~LiveEngine() = default;

bool LiveEngine::restart(std::string& error) {
    // The stand-in host is process-wide: the old effects go before new ones come.
    session_.reset();
    previewer::Options options = options_.render;
    options.blendModeWord = blendModeWord_;
    session_ = previewer::Session::start(options, presets_, error);
    next_ = 0;
    beatPending_ = false;
    silentSamples_ = 0;
    if (heard_) heard_->restart();
    facts_ = FrameFacts();
    std::fill(changeSeenAt_.begin(), changeSeenAt_.end(), -1);
    return session_ != nullptr;
}

void LiveEngine::setPaused(bool paused) {
    if (heard_) heard_->setPaused(paused);
}

// Without a sound device the song still moves on with the frames: frame k
// hears up to (k + 1) / fps seconds, counted from frame numbers so that
// nothing drifts.
void LiveEngine::playSilently(int32_t number) {
    const long long until = (static_cast<long long>(number) + 1) * audio::kAnalysisRate / options_.render.fps;
    const int frames = static_cast<int>(until - silentSamples_);
    if (frames <= 0) return;
    silentBuffer_.resize(static_cast<size_t>(frames) * 2);
    heard_->play(silentBuffer_.data(), frames);
    silentSamples_ = until;
}

void LiveEngine::setBlendMode(int mode) {
    blendModeWord_ = static_cast<uint32_t>(mode) | (blendModeWord_ & 0xFF00u);
    standin_set_blend_mode_word(blendModeWord_);
}

void LiveEngine::drawFrame() {
    const int32_t number = next_++;
    bool beat = music_->isBeat(number);
    if (heard_) {
        if (silent_) playSilently(number);
        bool heardBeat = false;
        heard_->fill(number, *musicFrame_, heardBeat);
        // --beat-every and --beats none overrule the beats heard.
        if (options_.render.beatEvery == 0 && options_.render.beatsFromMusic) beat = heardBeat;
    } else {
        music_->fill(number, *musicFrame_);
    }
    beat = beat || beatPending_;
    beatPending_ = false;
    if (frameLog_.is_open()) {
        previewer::FrameLog line;
        line.add(*musicFrame_, beat);
        frameLog_ << line.text() << std::flush;
    }
    const auto begin = std::chrono::steady_clock::now();
    session_->renderFrame(number, beat, standin::asVisData(musicFrame_.get()));
    facts_.drawSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    facts_.number = number;
    facts_.beat = beat;
    facts_.bass = musicFrame_->bass;
    facts_.mid = musicFrame_->mid;
    facts_.treble = musicFrame_->treble;
    noteRecompiles();
}

void LiveEngine::noteRecompiles() {
    for (size_t k = 0; k < presets_.size(); ++k) {
        if (changeSeenAt_[k] < 0 || session_->recompileCounter(k) != effect::TriangleEffect::kCounterRest) continue;
        say_(presets_[k].path + ": change seen at frame " + std::to_string(changeSeenAt_[k]) +
             ", recompiled at frame " + std::to_string(facts_.number));
        changeSeenAt_[k] = -1;
    }
}

void LiveEngine::presetFileChanged(size_t index) {
    previewer::PresetFile& current = presets_.at(index);
    const std::string& path = options_.render.presets.at(index);
    std::string problem;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 && errno == ENOENT) {
        problem = path + ": deleted; the last scripts keep running until it comes back";
    } else {
        previewer::PresetFile fresh;
        std::string error;
        if (!readPresetFile(path, fresh, error)) {
            problem = error + "; the previous scripts keep running";
        } else {
            std::string changed;
            for (const effect::SectionInfo& info : effect::kSections) {
                const size_t s = static_cast<size_t>(effect::indexOf(info.section));
                if (fresh.sections[s] == current.sections[s]) continue;
                if (!session_->editSection(index, info.section, fresh.sections[s])) {
                    problem = path + ": out of memory for the new [" + info.name + "]";
                    continue;
                }
                changed += changed.empty() ? "" : ", ";
                changed += std::string("[") + info.name + "]";
            }
            if (!changed.empty()) {
                changeSeenAt_[index] = next_;
                say_(path + ": " + changed + " changed at frame " + std::to_string(next_) +
                     "; recompiling on the 21st frame after");
            }
            current = std::move(fresh);
        }
    }
    if (problem != fileProblems_[index] && !problem.empty()) say_(problem);
    fileProblems_[index] = problem;
    checkScripts();
}

void LiveEngine::checkScripts() {
    const previewer::ScriptCompiler compile = previewer::standinCompiler();
    std::vector<std::string> lines;
    for (size_t k = 0; k < presets_.size(); ++k) {
        if (!fileProblems_[k].empty()) lines.push_back(fileProblems_[k]);
        for (const previewer::ScriptProblem& problem : previewer::findScriptProblems(presets_[k], compile))
            lines.push_back(previewer::describeProblem(presets_[k], problem) + " (section skipped)");
    }
    // Each new problem is told once on stderr; the window shows them all.
    for (const std::string& line : lines) {
        bool known = false;
        for (const std::string& old : diagnostics_) known = known || old == line;
        if (!known && line.find(" (section skipped)") != std::string::npos) say_(line);
    }
    diagnostics_ = std::move(lines);
}

}  // namespace live
