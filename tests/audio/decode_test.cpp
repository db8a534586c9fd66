// Audio files of every kind, made by the test with sox and ffmpeg from music
// it wrote itself, decoded and analysed again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "audio/ffmpeg/decode_audio_file.h"
#include "audio/frame_view.h"
#include "audio/signals/test_signals.h"
#include "audio/track_analysis.h"
#include "beat_matching.h"
#include "previewer/scratch_dir.h"

namespace audio {
namespace {

constexpr double kFps = 60.0;
constexpr double kSeconds = 8.0;

bool run(const std::string& command) { return std::system(("(" + command + ") </dev/null >/dev/null 2>&1").c_str()) == 0; }

// The reference: a click track at 120 BPM written as a float WAV.
struct Reference {
    ScratchDir dir;
    std::string wav = dir.file("reference.wav");
    signals::ClickTrack track;
    std::vector<bool> beats;
    Reference() {
        track.bpm = 120;
        track.seconds = kSeconds;
        track.firstBeat = 0.3;
        const StereoPcm pcm = signals::clickTrack(track);
        signals::writeWav(wav, pcm, true);
        beats = TrackAnalysis::analyse(pcm).beatFrames(0, kFps, static_cast<long>(kSeconds * kFps));
    }
};

Reference& reference() {
    static Reference* shared = new Reference;
    return *shared;
}

struct FormatCase {
    const char* name;
    const char* command;  // %1: input, %2: output
    const char* extension;
};

std::string expand(std::string text, const std::string& in, const std::string& out) {
    for (size_t at; (at = text.find("%1")) != std::string::npos;) text.replace(at, 2, in);
    for (size_t at; (at = text.find("%2")) != std::string::npos;) text.replace(at, 2, out);
    return text;
}

class EveryFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(EveryFormat, DecodesToTheSameBeats) {
    const FormatCase& c = GetParam();
    Reference& ref = reference();
    const std::string file = ref.dir.file(std::string(c.name) + "." + c.extension);
    ASSERT_TRUE(run(expand(c.command, ref.wav, file))) << expand(c.command, ref.wav, file);

    const DecodeResult result = decodeAudioFile(file, {});
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
    // Encoders pad the start and the end a little.
    EXPECT_NEAR(result.pcm.seconds(), kSeconds, 0.1);
    const long frames = static_cast<long>(kSeconds * kFps);
    const std::vector<bool> beats = TrackAnalysis::analyse(result.pcm).beatFrames(0, kFps, frames);
    const testing::BeatScore score = testing::scoreBeats(testing::timesOfFrames(beats, 0, kFps),
                                                         testing::timesOfFrames(ref.beats, 0, kFps), 1.0 / kFps + 1e-9);
    EXPECT_EQ(score.found, score.expected);
    EXPECT_EQ(score.extra, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EveryFormat,
    ::testing::Values(FormatCase{"wav8", "sox %1 -b 8 -e unsigned-integer %2", "wav"},
                      FormatCase{"wav16", "sox %1 -b 16 -e signed-integer %2", "wav"},
                      FormatCase{"wav24", "sox %1 -b 24 -e signed-integer %2", "wav"},
                      FormatCase{"wav32", "sox %1 -b 32 -e signed-integer %2", "wav"},
                      FormatCase{"wavFloat", "sox %1 -b 32 -e floating-point %2", "wav"},
                      FormatCase{"flac", "sox %1 %2", "flac"},
                      FormatCase{"vorbis", "ffmpeg -nostdin -y -i %1 -c:a libvorbis -q:a 5 %2", "ogg"},
                      FormatCase{"opus", "ffmpeg -nostdin -y -i %1 -c:a libopus -b:a 128k %2", "opus"},
                      FormatCase{"mp3", "ffmpeg -nostdin -y -i %1 -c:a libmp3lame -b:a 192k %2", "mp3"},
                      FormatCase{"aac", "ffmpeg -nostdin -y -i %1 -c:a aac -b:a 192k %2", "m4a"},
                      FormatCase{"mono", "sox %1 -c 1 %2", "wav"},
                      FormatCase{"surround", "ffmpeg -nostdin -y -i %1 -ac 6 %2", "flac"},
                      FormatCase{"rate8k", "sox %1 -r 8000 -b 16 %2", "wav"},
                      FormatCase{"rate22k", "sox %1 -r 22050 %2", "flac"},
                      FormatCase{"rate48k", "sox %1 -r 48000 %2", "wav"},
                      FormatCase{"rate96k", "sox %1 -r 96000 -b 24 %2", "flac"},
                      FormatCase{"rate192k", "sox %1 -r 192000 -b 24 %2", "wav"}),
    [](const ::testing::TestParamInfo<FormatCase>& param) { return param.param.name; });

struct ToneFileCase {
    const char* name;
    const char* command;  // makes %2
    int channel;          // spectrum channel to read (0 left, 1 right)
    double low, high;     // spectrum at 1 kHz
};

class DecodedTones : public ::testing::TestWithParam<ToneFileCase> {};

TEST_P(DecodedTones, KeepTheirLevelAndChannel) {
    const ToneFileCase& c = GetParam();
    ScratchDir dir;
    const std::string file = dir.file("tone.flac");
    ASSERT_TRUE(run(expand(c.command, "", file)));
    const DecodeResult result = decodeAudioFile(file, {});
    ASSERT_TRUE(result.ok) << result.error;
    FrameViewer viewer;
    std::vector<float> left(kSpectrumBins), right(kSpectrumBins);
    viewer.spectrum(result.pcm, 1.0, left.data(), right.data());
    const std::vector<float>& bins = c.channel == 0 ? left : right;
    const double position = 1000.0 / kSpectrumBinHz;
    const size_t low = static_cast<size_t>(position);
    const double value = bins[low] + (bins[low + 1] - bins[low]) * (position - static_cast<double>(low));
    EXPECT_GE(value, c.low);
    EXPECT_LE(value, c.high);
}

INSTANTIATE_TEST_SUITE_P(
    Tones, DecodedTones,
    ::testing::Values(ToneFileCase{"monoLeft", "sox -n -r 48000 -c 1 %2 synth 2 sine 1000 vol -6dB", 0, 0.4, 0.6},
                      ToneFileCase{"monoRight", "sox -n -r 48000 -c 1 %2 synth 2 sine 1000 vol -6dB", 1, 0.4, 0.6},
                      ToneFileCase{"leftOnlyLeft", "sox -n -c 2 -r 44100 %2 synth 2 sine 1000 sine 1000 remix 1v0.5 2v0", 0, 0.4, 0.6},
                      ToneFileCase{"leftOnlyRight", "sox -n -c 2 -r 44100 %2 synth 2 sine 1000 sine 1000 remix 1v0.5 2v0", 1, 0.0, 0.02}),
    [](const ::testing::TestParamInfo<ToneFileCase>& param) { return param.param.name; });

struct BadFileCase {
    const char* name;
    const char* make;     // shell command making %2 (empty: nothing made)
    const char* reason;   // expected in the error
};

class BadFiles : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFiles, GiveOneLineSayingWhy) {
    const BadFileCase& c = GetParam();
    Reference& ref = reference();
    ScratchDir dir;
    const std::string file = dir.file("input");
    if (*c.make) {
        ASSERT_TRUE(run(expand(c.make, ref.wav, file)));
    }
    const DecodeResult result = decodeAudioFile(file, {});
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos);
    EXPECT_TRUE(result.pcm.left.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BadFiles,
    ::testing::Values(BadFileCase{"missing", "", "no such file"},
                      BadFileCase{"directory", "mkdir %2", "directory"},
                      BadFileCase{"empty", ": > %2", "empty"},
                      BadFileCase{"text", "printf 'title = a preset, not a song\\n' > %2", "not an audio file"},
                      BadFileCase{"truncatedWav", "head -c 400000 %1 > %2", "truncated"},
                      BadFileCase{"truncatedFlac", "sox %1 %2.flac && head -c 40000 %2.flac > %2", "truncated"},
                      BadFileCase{"videoOnly", "ffmpeg -nostdin -f lavfi -i color=c=red:s=32x32:r=5 -t 1 -c:v ffv1 -f matroska %2", "no audio stream"}),
    [](const ::testing::TestParamInfo<BadFileCase>& param) { return param.param.name; });

TEST(DamagedFile, IsDecodedPastWithAWarning) {
    Reference& ref = reference();
    ScratchDir dir;
    const std::string file = dir.file("damaged.mp3");
    ASSERT_TRUE(run(expand("ffmpeg -nostdin -y -i %1 -c:a libmp3lame -b:a 128k %2", ref.wav, file)));
    {
        // Garbage over a stretch in the middle.
        std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
        stream.seekp(40000);
        for (int k = 0; k < 3000; ++k) stream.put(static_cast<char>((k * 37) & 0xff));
    }
    const DecodeResult result = decodeAudioFile(file, {});
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_FALSE(result.warnings.empty());
    EXPECT_NEAR(result.pcm.seconds(), kSeconds, 0.5);
}

struct WindowCase {
    const char* name;
    double start, maxSeconds;
    double seconds;  // expected length
};

class DecodeWindow : public ::testing::TestWithParam<WindowCase> {};

TEST_P(DecodeWindow, StartsAndStopsWhereAsked) {
    const WindowCase& c = GetParam();
    Reference& ref = reference();
    const DecodeResult whole = decodeAudioFile(ref.wav, {});
    const DecodeResult part = decodeAudioFile(ref.wav, {c.start, c.maxSeconds});
    ASSERT_TRUE(part.ok) << part.error;
    EXPECT_NEAR(part.pcm.seconds(), c.seconds, 1e-4);
    EXPECT_NEAR(part.fileSeconds, c.maxSeconds > 0 ? c.start + c.seconds : kSeconds, 1e-4);
    const size_t offset = static_cast<size_t>(c.start * kAnalysisRate);
    for (size_t k = 0; k < part.pcm.frames(); k += 1001) EXPECT_EQ(part.pcm.left[k], whole.pcm.left[k + offset]) << k;
}

INSTANTIATE_TEST_SUITE_P(Windows, DecodeWindow,
                         ::testing::Values(WindowCase{"whole", 0, 0, kSeconds}, WindowCase{"fromTwo", 2, 0, kSeconds - 2},
                                           WindowCase{"threeFromTwo", 2, 3, 3}, WindowCase{"pastTheEnd", 9, 0, 0},
                                           WindowCase{"longerThanTheFile", 1, 30, kSeconds - 1}),
                         [](const ::testing::TestParamInfo<WindowCase>& param) { return param.param.name; });

// A real recording: a drum machine loop (see data/drum-machine-loop.LICENSE),
// repeated four times by sox, its eight beats a loop known from its length.
TEST(RealRecording, BeatsAndTempoOfADrumLoop) {
    ScratchDir dir;
    const std::string looped = dir.file("looped.flac");
    ASSERT_TRUE(run("sox " + std::string(AUDIO_TEST_DATA) + "/drum-machine-loop.ogg " + looped + " repeat 3"));
    const DecodeResult result = decodeAudioFile(looped, {});
    ASSERT_TRUE(result.ok) << result.error;
    const double loop = result.pcm.seconds() / 4;
    const double beat = loop / 8;
    std::vector<double> expected;
    for (int k = 0; k < 32; ++k) expected.push_back(k * beat);
    const TrackAnalysis analysis = TrackAnalysis::analyse(result.pcm);
    const testing::BeatScore score = testing::scoreBeats(analysis.beatTimes(), expected, 2.0 / kFps);
    EXPECT_GE(score.hitShare(), 0.95) << score.found << " of " << score.expected;
    EXPECT_LE(score.extraShare(), 0.05) << score.extra;
    for (double t = 4; t < result.pcm.seconds() - 1; t += 1) EXPECT_NEAR(analysis.tempoAt(t), 60 / beat, 2.0) << t;
}

}  // namespace
}  // namespace audio
