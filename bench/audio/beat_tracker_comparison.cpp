// Our beat trackers against aubio's on music with known beats: the share of
// beats found within two frames at 60 fps, and the extra beats. The numbers
// behind keeping our own tracker; they go in docs/benchmarks.md.
// Run: ./build/native/bench/audio/beat-tracker-comparison
#include <aubio/aubio.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "frontend/version.h"
#include "audio/signals/test_signals.h"
#include "audio/stream_analyzer.h"
#include "audio/track_analysis.h"
#include "beat_matching.h"

namespace {

constexpr double kTolerance = 2.0 / 60.0;
constexpr uint_t kWindow = 1024;
constexpr uint_t kHop = 256;

struct TempoFreer {
    void operator()(aubio_tempo_t* tempo) const { del_aubio_tempo(tempo); }
};
struct VectorFreer {
    void operator()(fvec_t* vector) const { del_fvec(vector); }
};

std::vector<double> aubioBeats(const audio::StereoPcm& pcm) {
    std::unique_ptr<aubio_tempo_t, TempoFreer> tempo(new_aubio_tempo("default", kWindow, kHop, audio::kAnalysisRate));
    std::unique_ptr<fvec_t, VectorFreer> in(new_fvec(kHop)), out(new_fvec(1));
    std::vector<double> beats;
    for (size_t at = 0; at + kHop <= pcm.frames(); at += kHop) {
        for (uint_t k = 0; k < kHop; ++k) in->data[k] = 0.5f * (pcm.left[at + k] + pcm.right[at + k]);
        aubio_tempo_do(tempo.get(), in.get(), out.get());
        if (out->data[0] != 0) beats.push_back(aubio_tempo_get_last_s(tempo.get()));
    }
    return beats;
}

std::vector<double> streamBeats(const audio::StereoPcm& pcm) {
    audio::StreamAnalyzer analyzer;
    std::vector<double> beats;
    const size_t block = 735;  // one frame at 60 fps
    for (size_t at = 0; at < pcm.frames(); at += block) {
        const size_t count = std::min(block, pcm.frames() - at);
        analyzer.push(pcm.left.data() + at, pcm.right.data() + at, count);
        // Heard about half an onset window and a hop before it is reported.
        if (analyzer.takeBeat())
            beats.push_back(static_cast<double>(at + count) / audio::kAnalysisRate - 0.5 * audio::kOnsetWindow / audio::kAnalysisRate);
    }
    return beats;
}

struct Totals {
    int expected = 0, found = 0, extra = 0;
    void add(const audio::testing::BeatScore& score) {
        expected += score.expected;
        found += score.found;
        extra += score.extra;
    }
};

void print(const audio::testing::BeatScore& score) { std::printf("        %4d/%4d +%-4d", score.found, score.expected, score.extra); }

}  // namespace

int main(int argc, char** argv) {
    if (frontend::printVersionIfAsked(argc, argv, "beat-tracker-comparison")) return 0;
    struct Case {
        const char* name;
        double bpm;
        int kind;  // 0 clicks, 1 kicks, 2 quiet clicks, 3 song
    };
    const Case cases[] = {{"clicks 90", 90, 0},  {"clicks 120", 120, 0}, {"clicks 150", 150, 0},
                          {"kicks 90", 90, 1},   {"kicks 120", 120, 1},  {"kicks 150", 150, 1},
                          {"-30 dB 120", 120, 2}, {"song 100", 100, 3},  {"song 124", 124, 3}};
    Totals ours, live, theirs;
    std::printf("%-12s %21s %21s %21s\n", "music (30 s)", "ours offline", "ours live", "aubio tempo");
    for (const Case& c : cases) {
        audio::signals::ClickTrack track;
        track.bpm = c.bpm;
        track.seconds = 30;
        track.firstBeat = 0.5;
        track.kicksOnly = c.kind == 1;
        track.gain = c.kind == 2 ? 0.0316 : 1.0;
        const audio::StereoPcm pcm =
            c.kind == 3 ? audio::signals::song(c.bpm, track.seconds, track.firstBeat) : audio::signals::clickTrack(track);
        const std::vector<double> expected = audio::signals::clickTimes(track);
        const auto a = audio::testing::scoreBeats(audio::TrackAnalysis::analyse(pcm).beatTimes(), expected, kTolerance);
        const auto b = audio::testing::scoreBeats(streamBeats(pcm), expected, kTolerance);
        const auto d = audio::testing::scoreBeats(aubioBeats(pcm), expected, kTolerance);
        std::printf("%-12s", c.name);
        print(a);
        print(b);
        print(d);
        std::printf("\n");
        ours.add(a);
        live.add(b);
        theirs.add(d);
    }
    auto share = [](int part, int whole) { return whole > 0 ? 100.0 * part / whole : 0.0; };
    std::printf("found within 2 frames: ours offline %.1f %%, ours live %.1f %%, aubio %.1f %%\n",
                share(ours.found, ours.expected), share(live.found, live.expected), share(theirs.found, theirs.expected));
    std::printf("extra beats:           ours offline %.1f %%, ours live %.1f %%, aubio %.1f %%\n",
                share(ours.extra, ours.expected), share(live.extra, live.expected), share(theirs.extra, theirs.expected));
    return 0;
}
