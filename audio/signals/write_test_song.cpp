// Writes the little test song (kick, snare, hats, bass line, chords) as a
// 16-bit WAV: for the benchmarks and the example track.
// Usage: write-test-song BPM SECONDS OUT.wav
#include <cstdio>
#include <cstdlib>

#include "audio/signals/test_signals.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: write-test-song BPM SECONDS OUT.wav\n");
        return 2;
    }
    const double bpm = std::atof(argv[1]);
    const double seconds = std::atof(argv[2]);
    if (!(bpm >= 30 && bpm <= 300) || !(seconds > 0 && seconds <= 3600)) {
        std::fprintf(stderr, "write-test-song: BPM 30 to 300, SECONDS up to 3600\n");
        return 2;
    }
    if (!audio::signals::writeWav(argv[3], audio::signals::song(bpm, seconds), false)) {
        std::fprintf(stderr, "write-test-song: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
