#include "standin/music_functions.h"

#include <cmath>

namespace standin {
namespace {

// Channel numbers as scripts give them: 0 the mean of both, 1 left, 2 right.
enum class Pick { Mean, Left, Right, None };

Pick pickChannel(double ch) {
    const double whole = std::floor(ch);
    if (whole == 0.0) return Pick::Mean;
    if (whole == 1.0) return Pick::Left;
    if (whole == 2.0) return Pick::Right;
    return Pick::None;
}

double sampleAt(const float* const (&channels)[2], int index, Pick pick) {
    switch (pick) {
        case Pick::Left: return channels[MusicFrame::kLeft][index];
        case Pick::Right: return channels[MusicFrame::kRight][index];
        case Pick::Mean:
            return 0.5 * (static_cast<double>(channels[MusicFrame::kLeft][index]) +
                          static_cast<double>(channels[MusicFrame::kRight][index]));
        case Pick::None: break;
    }
    return 0.0;
}

// Linear interpolation at fractional position pos in [0, count - 1].
double interpolate(const float* const (&channels)[2], int count, double pos, Pick pick) {
    const double below = std::floor(pos);
    const int k = static_cast<int>(below);
    if (k >= count - 1) return sampleAt(channels, count - 1, pick);
    const double t = pos - below;
    const double a = sampleAt(channels, k, pick);
    if (t == 0.0) return a;
    return a + (sampleAt(channels, k + 1, pick) - a) * t;
}

double wave(const MusicFrame& frame, double x, double ch) {
    const Pick pick = pickChannel(ch);
    if (pick == Pick::None || std::isnan(x)) return 0.0;
    const double clamped = x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
    const float* const channels[2] = {frame.wave[0], frame.wave[1]};
    constexpr int kCount = MusicFrame::kWaveSamples;
    return interpolate(channels, kCount, clamped * (kCount - 1), pick);
}

double spectrum(const MusicFrame& frame, double hz, double ch) {
    const Pick pick = pickChannel(ch);
    constexpr int kCount = MusicFrame::kSpectrumBins;
    if (pick == Pick::None || !(frame.binHz > 0.0)) return 0.0;
    const double pos = hz / frame.binHz;
    if (!(pos >= 0.0 && pos <= kCount - 1)) return 0.0;  // NaN too
    const float* const channels[2] = {frame.spectrum[0], frame.spectrum[1]};
    return interpolate(channels, kCount, pos, pick);
}

}  // namespace

double musicValue(MusicItem item, const MusicFrame* frame, double a, double b) {
    if (frame == nullptr) return 0.0;
    switch (item) {
        case MusicItem::Wave: return wave(*frame, a, b);
        case MusicItem::Spectrum: return spectrum(*frame, a, b);
        case MusicItem::Bass: return frame->bass;
        case MusicItem::Mid: return frame->mid;
        case MusicItem::Treble: return frame->treble;
        case MusicItem::Time: return frame->time;
        case MusicItem::FrameIndex: return frame->frameIndex;
        case MusicItem::Tempo: return frame->tempo;
    }
    return 0.0;
}

}  // namespace standin
