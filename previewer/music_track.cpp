#include "previewer/music_track.h"

#include <cmath>

#include "previewer/audio_file.h"

namespace previewer {

namespace {
// Decoded past the last frame, so that its window and the beat tracker's
// view of the end hold real music.
constexpr double kMusicBeyondLastFrame = 5.0;
}  // namespace

std::unique_ptr<MusicTrack> MusicTrack::load(const Options& options, std::string& error,
                                             std::vector<std::string>& warnings) {
    std::unique_ptr<MusicTrack> track(new MusicTrack(options));
    if (options.audioFile.empty()) return track;

    audio::DecodeOptions decode;
    decode.start = options.startSeconds;
    if (options.framesGiven) decode.maxSeconds = options.frames / static_cast<double>(options.fps) + kMusicBeyondLastFrame;
    audio::DecodeResult result = readAudioFile(options.audioFile, decode);
    if (!result.ok) {
        error = "--audio " + options.audioFile + ": " + result.error;
        return nullptr;
    }
    for (const std::string& warning : result.warnings) warnings.push_back("--audio " + options.audioFile + ": " + warning);
    if (result.pcm.frames() == 0) {
        error = "--audio " + options.audioFile + ": no music after --start " + std::to_string(options.startSeconds) + " s";
        return nullptr;
    }
    return fromPcm(options, std::move(result.pcm));
}

std::unique_ptr<MusicTrack> MusicTrack::fromPcm(const Options& options, audio::StereoPcm pcm) {
    std::unique_ptr<MusicTrack> track(new MusicTrack(options));
    track->hasMusic_ = true;
    track->pcm_ = std::move(pcm);
    track->analysis_ = std::make_unique<audio::TrackAnalysis>(audio::TrackAnalysis::analyse(track->pcm_));
    track->viewer_ = std::make_unique<audio::FrameViewer>();
    const int32_t frames = options.framesGiven ? options.frames : track->framesOfMusic();
    track->beats_ = track->analysis_->beatFrames(0, options.fps, frames);
    return track;
}

int32_t MusicTrack::framesOfMusic() const {
    const double frames = std::ceil(pcm_.seconds() * options_.fps - 1e-9);
    if (frames < 1) return 1;
    return frames > kMaxFrames ? kMaxFrames : static_cast<int32_t>(frames);
}

void MusicTrack::fill(int32_t number, standin::MusicFrame& frame) {
    const double sinceStart = number / static_cast<double>(options_.fps);
    frame.time = options_.startSeconds + sinceStart;
    frame.frameIndex = number;
    if (!hasMusic_) return;
    const bool inMusic = sinceStart <= analysis_->seconds();
    const audio::Levels levels = analysis_->levelsAt(sinceStart);
    frame.bass = levels.bass;
    frame.mid = levels.mid;
    frame.treble = levels.treble;
    frame.tempo = inMusic ? analysis_->tempoAt(sinceStart) : 0.0;
    frame.binHz = audio::kSpectrumBinHz;
    if (!signalNeeded_) return;
    static_assert(standin::MusicFrame::kWaveSamples == audio::kWaveSamples, "waveform sizes agree");
    static_assert(standin::MusicFrame::kSpectrumBins == audio::kSpectrumBins, "spectrum sizes agree");
    viewer_->waveform(pcm_, sinceStart, frame.wave[standin::MusicFrame::kLeft], frame.wave[standin::MusicFrame::kRight]);
    viewer_->spectrum(pcm_, sinceStart, frame.spectrum[standin::MusicFrame::kLeft],
                      frame.spectrum[standin::MusicFrame::kRight]);
}

bool MusicTrack::isBeat(int32_t number) const {
    if (!options_.beatsFromMusic) return false;
    if (options_.beatEvery > 0) return options_.isBeatFrame(number);
    return number >= 0 && static_cast<size_t>(number) < beats_.size() && beats_[static_cast<size_t>(number)];
}

}  // namespace previewer
