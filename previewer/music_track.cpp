#include "previewer/music_track.h"

#include <cmath>
#include <thread>
#include <utility>

#include "previewer/audio_file.h"
#include "previewer/hand_over_queue.h"

namespace previewer {

namespace {
// Decoded past the last frame, so that its window and the beat tracker's
// view of the end hold real music.
constexpr double kMusicBeyondLastFrame = 5.0;
// The decoder hands its samples over in blocks of this many...
constexpr size_t kBlockFrames = 16384;
// ...and waits when this many are not yet taken.
constexpr size_t kBlocksWaiting = 16;

struct SampleBlock {
    std::vector<float> left, right;
    size_t expectedFrames = 0;  // the whole music's, in the first block when known
};

// Decodes on a second thread while this one analyses what is already
// decoded; the two together take about as long as the slower alone. The
// analysis sees the same samples in the same order, so its results do not
// depend on how the blocks fall.
audio::DecodeResult decodeAndAnalyse(const std::string& path, const audio::DecodeOptions& options,
                                     audio::StereoPcm& pcm, audio::TrackAnalysis::Builder& analysis) {
    HandOverQueue<SampleBlock> queue(kBlocksWaiting);
    audio::DecodeResult result;
    std::thread decoder([&queue, &result, &path, &options] {
        SampleBlock block;
        const auto fresh = [&block] {
            block.left.reserve(2 * kBlockFrames);
            block.right.reserve(2 * kBlockFrames);
        };
        fresh();
        const audio::SampleSink sink = [&queue, &block, &fresh](const float* left, const float* right, size_t count) {
            block.left.insert(block.left.end(), left, left + count);
            block.right.insert(block.right.end(), right, right + count);
            if (block.left.size() < kBlockFrames) return;
            queue.push(std::exchange(block, SampleBlock()));
            fresh();
        };
        const audio::LengthHint hint = [&block](size_t frames) { block.expectedFrames = frames; };
        result = readAudioFile(path, options, sink, hint);
        if (!block.left.empty()) queue.push(std::move(block));
        queue.close();
    });
    // The decoder must be waited for even if taking its samples fails.
    struct Joiner {
        HandOverQueue<SampleBlock>& queue;
        std::thread& thread;
        ~Joiner() {
            queue.close();
            thread.join();
        }
    } joiner{queue, decoder};

    SampleBlock block;
    while (queue.pop(block)) {
        if (block.expectedFrames > 0) {
            pcm.left.reserve(block.expectedFrames);
            pcm.right.reserve(block.expectedFrames);
        }
        pcm.left.insert(pcm.left.end(), block.left.begin(), block.left.end());
        pcm.right.insert(pcm.right.end(), block.right.begin(), block.right.end());
        analysis.push(block.left.data(), block.right.data(), block.left.size());
    }
    return result;  // the queue closes only when the decoder is done with it
}

}  // namespace

std::unique_ptr<MusicTrack> MusicTrack::load(const Options& options, std::string& error,
                                             std::vector<std::string>& warnings) {
    std::unique_ptr<MusicTrack> track(new MusicTrack(options));
    if (options.audioFile.empty()) return track;

    audio::DecodeOptions decode;
    decode.start = options.startSeconds;
    if (options.framesGiven) decode.maxSeconds = options.frames / static_cast<double>(options.fps) + kMusicBeyondLastFrame;
    audio::TrackAnalysis::Builder analysis;
    const audio::DecodeResult result = decodeAndAnalyse(options.audioFile, decode, track->pcm_, analysis);
    if (!result.ok) {
        error = "--audio " + options.audioFile + ": " + result.error;
        return nullptr;
    }
    for (const std::string& warning : result.warnings) warnings.push_back("--audio " + options.audioFile + ": " + warning);
    if (track->pcm_.frames() == 0) {
        error = "--audio " + options.audioFile + ": no music after --start " + std::to_string(options.startSeconds) + " s";
        return nullptr;
    }
    track->adopt(analysis.finish());
    return track;
}

std::unique_ptr<MusicTrack> MusicTrack::fromPcm(const Options& options, audio::StereoPcm pcm) {
    std::unique_ptr<MusicTrack> track(new MusicTrack(options));
    track->pcm_ = std::move(pcm);
    track->adopt(audio::TrackAnalysis::analyse(track->pcm_));
    return track;
}

void MusicTrack::adopt(audio::TrackAnalysis analysis) {
    hasMusic_ = true;
    analysis_ = std::make_unique<audio::TrackAnalysis>(std::move(analysis));
    viewer_ = std::make_unique<audio::FrameViewer>();
    const int32_t frames = options_.framesGiven ? options_.frames : framesOfMusic();
    beats_ = analysis_->beatFrames(0, options_.fps, frames);
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
