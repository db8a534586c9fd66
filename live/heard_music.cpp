#include "live/heard_music.h"

#include <algorithm>

namespace live {

namespace {

// What the waveform and the spectrum look back over.
constexpr size_t kRecentSamples = audio::kSpectrumWindow;

}  // namespace

HeardMusic::HeardMusic(audio::StereoPcm song, double startSeconds, bool loop)
    : song_(std::move(song)),
      startSeconds_(startSeconds),
      loop_(loop),
      analyzer_(std::make_unique<audio::StreamAnalyzer>()) {
    recent_.left.assign(kRecentSamples, 0.0f);
    recent_.right.assign(kRecentSamples, 0.0f);
}

void HeardMusic::play(float* out, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    const long long length = static_cast<long long>(song_.frames());
    for (int k = 0; k < frames; ++k) {
        if (paused_.load()) {
            out[2 * k] = out[2 * k + 1] = 0.0f;
            continue;
        }
        if (loop_ && length > 0 && playPosition_ >= length) playPosition_ = 0;
        out[2 * k] = song_.sample(0, playPosition_);
        out[2 * k + 1] = song_.sample(1, playPosition_);
        ++playPosition_;
    }
    if (paused_.load()) return;
    fresh_.insert(fresh_.end(), out, out + 2 * frames);
    heardSamples_ += frames;
}

void HeardMusic::heard(const float* in, int frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    fresh_.insert(fresh_.end(), in, in + 2 * frames);
    heardSamples_ += frames;
}

void HeardMusic::restart() {
    std::lock_guard<std::mutex> lock(mutex_);
    playPosition_ = 0;
    heardSamples_ = 0;
    fresh_.clear();
    restartPending_ = true;
}

void HeardMusic::fill(int32_t number, standin::MusicFrame& frame, bool& beat) {
    std::vector<float> fresh;
    long long heardSamples = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        fresh.swap(fresh_);
        heardSamples = heardSamples_;
        if (restartPending_) {
            analyzer_ = std::make_unique<audio::StreamAnalyzer>();
            std::fill(recent_.left.begin(), recent_.left.end(), 0.0f);
            std::fill(recent_.right.begin(), recent_.right.end(), 0.0f);
            restartPending_ = false;
        }
    }
    if (keeping_) kept_.insert(kept_.end(), fresh.begin(), fresh.end());
    const size_t count = fresh.size() / 2;
    std::vector<float> left(count), right(count);
    for (size_t k = 0; k < count; ++k) {
        left[k] = fresh[2 * k];
        right[k] = fresh[2 * k + 1];
    }
    if (count > 0) analyzer_->push(left.data(), right.data(), count);
    // Keep the last kRecentSamples heard.
    const size_t keep = std::min(count, kRecentSamples);
    recent_.left.erase(recent_.left.begin(), recent_.left.begin() + static_cast<long>(keep));
    recent_.right.erase(recent_.right.begin(), recent_.right.begin() + static_cast<long>(keep));
    recent_.left.insert(recent_.left.end(), left.end() - static_cast<long>(keep), left.end());
    recent_.right.insert(recent_.right.end(), right.end() - static_cast<long>(keep), right.end());

    frame.time = startSeconds_ + static_cast<double>(heardSamples) / audio::kAnalysisRate;
    frame.frameIndex = number;
    frame.bass = analyzer_->bass();
    frame.mid = analyzer_->mid();
    frame.treble = analyzer_->treble();
    frame.tempo = analyzer_->tempo();
    frame.binHz = audio::kSpectrumBinHz;
    beat = analyzer_->takeBeat();
    // The windows end at the newest sample heard: no look-ahead.
    const double end = static_cast<double>(kRecentSamples) / audio::kAnalysisRate;
    viewer_.waveform(recent_, end - audio::kWaveSamples / 2.0 / audio::kAnalysisRate,
                     frame.wave[standin::MusicFrame::kLeft], frame.wave[standin::MusicFrame::kRight]);
    viewer_.spectrum(recent_, end - audio::kSpectrumWindow / 2.0 / audio::kAnalysisRate,
                     frame.spectrum[standin::MusicFrame::kLeft], frame.spectrum[standin::MusicFrame::kRight]);
}

void HeardMusic::keepForRecording(bool on) {
    keeping_ = on;
    kept_.clear();
}

void HeardMusic::takeKept(std::vector<float>& samples) {
    samples.swap(kept_);
    kept_.clear();
}

}  // namespace live
