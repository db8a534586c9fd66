// Music with known content, made by our own code: click and kick tracks at a
// given tempo, sines, silence, a short song. For the tests, the benchmarks and
// the example track; deterministic on every platform.
#pragma once

#include <string>
#include <vector>

#include "audio/pcm.h"

namespace audio::signals {

struct ClickTrack {
    double bpm = 120;
    double seconds = 20;
    double firstBeat = 0.25;  // seconds
    double gain = 1.0;        // linear
    bool kicksOnly = false;   // low thumps without the click's noise
};

StereoPcm clickTrack(const ClickTrack& track);
// When each click of clickTrack(track) starts.
std::vector<double> clickTimes(const ClickTrack& track);

// A sine at `hz` with the given peak amplitude; channels picks left (1),
// right (2) or both (0).
StereoPcm sine(double hz, double amplitude, double seconds, int channels = 0);
StereoPcm silence(double seconds);

// A little song: kick on every beat, snare on two and four, hats, a bass line
// and chords. Beats start at `firstBeat`.
StereoPcm song(double bpm, double seconds, double firstBeat = 0.5);

StereoPcm scaled(StereoPcm pcm, double gain);

// 16-bit or 32-bit float PCM WAV at the analysis rate. False when the file
// cannot be written.
bool writeWav(const std::string& path, const StereoPcm& pcm, bool asFloat);

}  // namespace audio::signals
