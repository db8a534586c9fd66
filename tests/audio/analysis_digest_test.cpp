// The analysis gives the same bits on every platform: one digest over a
// song's beats, levels, tempo, waveform and spectra, pinned here and checked
// by the 64-bit and the 32-bit builds alike.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/frame_view.h"
#include "audio/signals/test_signals.h"
#include "audio/track_analysis.h"

namespace audio {
namespace {

class Digest {
public:
    void add(double value) {
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        for (int k = 0; k < 8; ++k) {
            hash_ ^= (bits >> (8 * k)) & 0xffu;
            hash_ *= 1099511628211ull;
        }
    }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 14695981039346656037ull;
};

TEST(AnalysisDigest, IsTheSameOnEveryPlatform) {
    const StereoPcm pcm = signals::song(128, 6);
    const TrackAnalysis analysis = TrackAnalysis::analyse(pcm);
    Digest digest;
    for (double t : analysis.beatTimes()) digest.add(t);
    FrameViewer viewer;
    std::vector<float> left(kSpectrumBins), right(kSpectrumBins);
    for (int frame = 0; frame < 6 * 30; frame += 7) {
        const double t = frame / 30.0;
        const Levels levels = analysis.levelsAt(t);
        digest.add(levels.bass);
        digest.add(levels.mid);
        digest.add(levels.treble);
        digest.add(analysis.tempoAt(t));
        viewer.spectrum(pcm, t, left.data(), right.data());
        for (float v : left) digest.add(v);
        for (float v : right) digest.add(v);
        viewer.waveform(pcm, t, left.data(), right.data());
        for (int k = 0; k < kWaveSamples; ++k) digest.add(left[k]);
    }
    EXPECT_FALSE(analysis.beatTimes().empty());
    EXPECT_EQ(digest.value(), 0xde1b2c044a677697ull) << std::hex << digest.value();
}

}  // namespace
}  // namespace audio
