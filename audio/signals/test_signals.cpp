#include "audio/signals/test_signals.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "audio/det_math.h"

namespace audio::signals {

namespace {

size_t sampleCount(double seconds) { return static_cast<size_t>(std::floor(seconds * kAnalysisRate + 0.5)); }

StereoPcm blank(double seconds) {
    StereoPcm pcm;
    pcm.left.assign(sampleCount(seconds), 0.0f);
    pcm.right.assign(pcm.left.size(), 0.0f);
    return pcm;
}

// A repeatable noise source in [-1, 1].
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_;
};

void addToBoth(StereoPcm& pcm, size_t at, double value) {
    if (at >= pcm.frames()) return;
    pcm.left[at] += static_cast<float>(value);
    pcm.right[at] += static_cast<float>(value);
}

// A decaying sine burst with a falling pitch (a kick), starting at `start`.
void addKick(StereoPcm& pcm, double start, double gain) {
    const size_t first = sampleCount(start);
    const size_t length = sampleCount(0.3);
    double phase = 0;
    for (size_t k = 0; k < length; ++k) {
        const double t = static_cast<double>(k) / kAnalysisRate;
        const double hz = 50.0 + 100.0 * detExp(-t * 30.0);
        phase += 2.0 * kPi * hz / kAnalysisRate;
        // Fades to nothing: a cut-off tail would be a second click.
        const double fade = static_cast<double>(length - k) / static_cast<double>(length);
        addToBoth(pcm, first + k, gain * fade * detExp(-t * 25.0) * detSin(phase));
    }
}

void addNoiseBurst(StereoPcm& pcm, double start, double seconds, double decay, double gain, Noise& noise) {
    const size_t first = sampleCount(start);
    const size_t length = sampleCount(seconds);
    for (size_t k = 0; k < length; ++k) {
        const double t = static_cast<double>(k) / kAnalysisRate;
        const double fade = static_cast<double>(length - k) / static_cast<double>(length);
        addToBoth(pcm, first + k, gain * fade * detExp(-t * decay) * noise.next());
    }
}

void addTone(StereoPcm& pcm, double start, double seconds, double hz, double gain) {
    const size_t first = sampleCount(start);
    const size_t length = sampleCount(seconds);
    const size_t fade = sampleCount(0.01);
    for (size_t k = 0; k < length; ++k) {
        const double t = static_cast<double>(k) / kAnalysisRate;
        double envelope = 1.0;
        if (k < fade) envelope = static_cast<double>(k) / fade;
        if (length - k < fade) envelope = static_cast<double>(length - k) / fade;
        addToBoth(pcm, first + k, gain * envelope * detSin(2.0 * kPi * hz * t));
    }
}

void putLe(std::FILE* file, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) std::fputc(static_cast<int>((value >> (8 * k)) & 0xffu), file);
}

}  // namespace

std::vector<double> clickTimes(const ClickTrack& track) {
    std::vector<double> times;
    const double period = 60.0 / track.bpm;
    for (double t = track.firstBeat; t < track.seconds - 0.05; t += period) times.push_back(t);
    return times;
}

StereoPcm clickTrack(const ClickTrack& track) {
    StereoPcm pcm = blank(track.seconds);
    Noise noise(12345u);
    for (double t : clickTimes(track)) {
        // A click: a short noise burst over a low thump, like a kick with a beater.
        if (!track.kicksOnly) addNoiseBurst(pcm, t, 0.02, 300.0, 0.5 * track.gain, noise);
        addKick(pcm, t, 0.5 * track.gain);
    }
    return pcm;
}

StereoPcm sine(double hz, double amplitude, double seconds, int channels) {
    StereoPcm pcm = blank(seconds);
    for (size_t k = 0; k < pcm.frames(); ++k) {
        const float value = static_cast<float>(amplitude * detSin(2.0 * kPi * hz * static_cast<double>(k) / kAnalysisRate));
        if (channels != 2) pcm.left[k] = value;
        if (channels != 1) pcm.right[k] = value;
    }
    return pcm;
}

StereoPcm silence(double seconds) { return blank(seconds); }

StereoPcm song(double bpm, double seconds, double firstBeat) {
    StereoPcm pcm = blank(seconds);
    Noise noise(777u);
    const double beat = 60.0 / bpm;
    static const double kBassNotes[] = {55.0, 55.0, 73.42, 65.41};
    static const double kChords[][3] = {{220.0, 261.63, 329.63}, {220.0, 261.63, 329.63},
                                        {293.66, 349.23, 440.0}, {261.63, 329.63, 392.0}};
    int index = 0;
    for (double t = firstBeat; t < seconds - 0.2; t += beat, ++index) {
        const int bar = (index / 4) % 4;
        addKick(pcm, t, 0.45);
        if (index % 2 == 1) addNoiseBurst(pcm, t, 0.12, 30.0, 0.25, noise);
        addNoiseBurst(pcm, t + beat / 2, 0.03, 150.0, 0.06, noise);
        addTone(pcm, t, beat * 0.9, kBassNotes[bar], 0.18);
        if (index % 4 == 0)
            for (double hz : kChords[bar]) addTone(pcm, t, beat * 3.9, hz, 0.05);
    }
    return pcm;
}

StereoPcm scaled(StereoPcm pcm, double gain) {
    for (size_t k = 0; k < pcm.frames(); ++k) {
        pcm.left[k] = static_cast<float>(pcm.left[k] * gain);
        pcm.right[k] = static_cast<float>(pcm.right[k] * gain);
    }
    return pcm;
}

bool writeWav(const std::string& path, const StereoPcm& pcm, bool asFloat) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) return false;
    const uint32_t bytesPerSample = asFloat ? 4 : 2;
    const uint32_t dataBytes = static_cast<uint32_t>(pcm.frames() * 2 * bytesPerSample);
    std::FILE* f = file.get();
    std::fputs("RIFF", f);
    putLe(f, 36 + dataBytes, 4);
    std::fputs("WAVEfmt ", f);
    putLe(f, 16, 4);
    putLe(f, asFloat ? 3 : 1, 2);
    putLe(f, 2, 2);
    putLe(f, kAnalysisRate, 4);
    putLe(f, kAnalysisRate * 2 * bytesPerSample, 4);
    putLe(f, 2 * bytesPerSample, 2);
    putLe(f, 8 * bytesPerSample, 2);
    std::fputs("data", f);
    putLe(f, dataBytes, 4);
    for (size_t k = 0; k < pcm.frames(); ++k) {
        for (float value : {pcm.left[k], pcm.right[k]}) {
            if (asFloat) {
                uint32_t bits = 0;
                static_assert(sizeof bits == sizeof value, "float is 32 bits");
                std::memcpy(&bits, &value, sizeof bits);
                putLe(f, bits, 4);
            } else {
                double clipped = std::fmax(-1.0, std::fmin(1.0, static_cast<double>(value)));
                const long quantised = std::lround(clipped * 32767.0);
                putLe(f, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(quantised))), 2);
            }
        }
    }
    return std::ferror(f) == 0;
}

}  // namespace audio::signals
