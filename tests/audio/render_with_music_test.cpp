// triangle-render with --audio, as an author uses it: songs the test writes
// (click tracks, silence, quiet copies), frame logs read back, and the frames
// and logs the same bit for bit from run to run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "audio/signals/test_signals.h"
#include "beat_matching.h"
#include "previewer/options.h"
#include "previewer/scratch_dir.h"
#include "previewer/tool_runner.h"

namespace {

using audio::signals::ClickTrack;

// A preset whose one triangle shows the beat count, so frames differ by beats.
const char* const kBeatCounter =
    "[init]\nbeats = 0\n[beat]\nbeats = beats + 1\n[frame]\nn = 1\n"
    "[triangle]\nx1 = -1; y1 = -1; x2 = 1; y2 = -1; x3 = -1; y3 = 1; red1 = 0.1 * beats\n";

struct LogLine {
    std::vector<std::string> keys;
    std::map<std::string, std::string> values;
    double number(const std::string& key) const { return std::atof(values.at(key).c_str()); }
    bool beat() const { return values.at("beat") == "true"; }
};

std::vector<LogLine> parseLog(const std::string& text) {
    std::vector<LogLine> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        LogLine parsed;
        EXPECT_EQ(line.front(), '{');
        EXPECT_EQ(line.back(), '}');
        std::istringstream fields(line.substr(1, line.size() - 2));
        std::string field;
        while (std::getline(fields, field, ',')) {
            const size_t colon = field.find(':');
            const std::string key = field.substr(1, colon - 2);
            parsed.keys.push_back(key);
            parsed.values[key] = field.substr(colon + 1);
        }
        lines.push_back(parsed);
    }
    return lines;
}

struct Song {
    ScratchDir dir;
    // Float samples: at -30 dB, 16-bit rounding noise would be most of the
    // treble between the hits.
    std::string write(const std::string& name, const audio::StereoPcm& pcm) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(audio::signals::writeWav(path, pcm, true));
        return path;
    }
};

ToolRun render(ScratchDir& dir, std::vector<std::string> args) {
    dir.write("counter.preset", kBeatCounter);
    args.insert(args.begin(), {"--size", "32x18", "--quiet"});
    args.push_back("counter.preset");
    return runTool(args, dir.path());
}

TEST(MusicLog, HasExactlyTheKeysInOrderForEveryFrame) {
    Song song;
    ClickTrack track;
    track.seconds = 3;
    song.write("clicks.wav", audio::signals::clickTrack(track));
    const ToolRun run = render(song.dir, {"--audio", "clicks.wav", "--log-frames", "log.jsonl"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<LogLine> lines = parseLog(readFile(song.dir.file("log.jsonl")));
    ASSERT_EQ(lines.size(), 180u);
    for (size_t k = 0; k < lines.size(); ++k) {
        EXPECT_EQ(lines[k].keys, (std::vector<std::string>{"frame", "time", "beat", "bass", "mid", "treble", "tempo"}));
        EXPECT_EQ(lines[k].number("frame"), static_cast<double>(k));
        EXPECT_NEAR(lines[k].number("time"), k / 60.0, 1e-6);
    }
}

struct TempoCase {
    const char* name;
    double bpm;
};

class MusicBeats : public testing::TestWithParam<TempoCase> {};

TEST_P(MusicBeats, FollowTheSongsClicks) {
    Song song;
    ClickTrack track;
    track.bpm = GetParam().bpm;
    track.seconds = 12;
    track.firstBeat = 0.4;
    song.write("clicks.wav", audio::signals::clickTrack(track));
    const ToolRun run = render(song.dir, {"--audio", "clicks.wav", "--log-frames", "log.jsonl"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<LogLine> lines = parseLog(readFile(song.dir.file("log.jsonl")));
    std::vector<double> beats;
    for (const LogLine& line : lines) {
        if (line.beat()) beats.push_back(line.number("time"));
        if (line.number("time") >= 4.0) { EXPECT_NEAR(line.number("tempo"), track.bpm, 2.0); }
    }
    const auto score = audio::testing::scoreBeats(beats, audio::signals::clickTimes(track), 2.0 / 60);
    EXPECT_GE(score.hitShare(), 0.95);
    EXPECT_LE(score.extraShare(), 0.05);
}

INSTANTIATE_TEST_SUITE_P(Tempi, MusicBeats,
                         testing::Values(TempoCase{"bpm90", 90}, TempoCase{"bpm120", 120}, TempoCase{"bpm150", 150}),
                         [](const testing::TestParamInfo<TempoCase>& param) { return param.param.name; });

struct TimingCase {
    const char* name;
    std::vector<std::string> args;
    size_t lines;
    double firstTime;
    double step;
};

class MusicTiming : public testing::TestWithParam<TimingCase> {};

TEST_P(MusicTiming, CoversTheSongOrTheFramesAsked) {
    const TimingCase& c = GetParam();
    Song song;
    ClickTrack track;
    track.seconds = 4;
    song.write("clicks.wav", audio::signals::clickTrack(track));
    std::vector<std::string> args = {"--audio", "clicks.wav", "--log-frames", "log.jsonl"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = render(song.dir, args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<LogLine> lines = parseLog(readFile(song.dir.file("log.jsonl")));
    ASSERT_EQ(lines.size(), c.lines);
    for (size_t k = 0; k < lines.size(); k += 7) { EXPECT_NEAR(lines[k].number("time"), c.firstTime + k * c.step, 1e-6); }
    // Past the end of the song: silence.
    for (const LogLine& line : lines) {
        if (line.number("time") < track.seconds + 0.05) continue;
        EXPECT_FALSE(line.beat());
        EXPECT_EQ(line.number("bass"), 0.0);
        EXPECT_EQ(line.number("tempo"), 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, MusicTiming,
    testing::Values(TimingCase{"wholeSongAt60", {}, 240, 0.0, 1 / 60.0},
                    TimingCase{"wholeSongAt25", {"--fps", "25"}, 100, 0.0, 1 / 25.0},
                    TimingCase{"fromTheMiddle", {"--start", "1.5"}, 150, 1.5, 1 / 60.0},
                    TimingCase{"cutShort", {"--frames", "30"}, 30, 0.0, 1 / 60.0},
                    TimingCase{"intoSilence", {"--frames", "400", "--fps", "50"}, 400, 0.0, 1 / 50.0}),
    [](const testing::TestParamInfo<TimingCase>& param) { return param.param.name; });

struct BeatSourceCase {
    const char* name;
    std::vector<std::string> args;
    bool periodic;  // beats every 30 frames from 0
    bool none;
};

class BeatSources : public testing::TestWithParam<BeatSourceCase> {};

TEST_P(BeatSources, ChooseWhereBeatsComeFrom) {
    const BeatSourceCase& c = GetParam();
    Song song;
    ClickTrack track;
    track.seconds = 4;
    track.firstBeat = 0.1;
    song.write("clicks.wav", audio::signals::clickTrack(track));
    std::vector<std::string> args = {"--audio", "clicks.wav", "--log-frames", "log.jsonl"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = render(song.dir, args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<LogLine> lines = parseLog(readFile(song.dir.file("log.jsonl")));
    int beats = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        beats += lines[k].beat();
        if (c.periodic) { EXPECT_EQ(lines[k].beat(), k % 30 == 0) << k; }
    }
    if (c.none) { EXPECT_EQ(beats, 0); }
    if (!c.none && !c.periodic) { EXPECT_GE(beats, 7); }
    EXPECT_GT(lines[100].number("tempo"), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Sources, BeatSources,
                         testing::Values(BeatSourceCase{"fromTheMusic", {}, false, false},
                                         BeatSourceCase{"fromTheMusicByName", {"--beats", "music"}, false, false},
                                         BeatSourceCase{"forcedPeriodic", {"--beat-every", "30"}, true, false},
                                         BeatSourceCase{"turnedOff", {"--beats", "none"}, false, true}),
                         [](const testing::TestParamInfo<BeatSourceCase>& param) { return param.param.name; });

TEST(SilentSong, HasNoBeatsAndZeroLevels) {
    Song song;
    song.write("silence.wav", audio::signals::silence(3));
    const ToolRun run = render(song.dir, {"--audio", "silence.wav", "--log-frames", "log.jsonl"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const LogLine& line : parseLog(readFile(song.dir.file("log.jsonl")))) {
        EXPECT_FALSE(line.beat());
        for (const char* key : {"bass", "mid", "treble", "tempo"}) { EXPECT_EQ(line.number(key), 0.0) << key; }
    }
}

TEST(QuietCopyOfASong, GivesTheSameBeatsAndLevels) {
    Song song;
    const audio::StereoPcm loud = audio::signals::song(120, 8);
    song.write("loud.wav", loud);
    song.write("quiet.wav", audio::signals::scaled(loud, 0.0316227766));
    ASSERT_EQ(render(song.dir, {"--audio", "loud.wav", "--log-frames", "loud.jsonl"}).exitCode, 0);
    ASSERT_EQ(render(song.dir, {"--audio", "quiet.wav", "--log-frames", "quiet.jsonl"}).exitCode, 0);
    const std::vector<LogLine> a = parseLog(readFile(song.dir.file("loud.jsonl")));
    const std::vector<LogLine> b = parseLog(readFile(song.dir.file("quiet.jsonl")));
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) {
        if (a[k].beat()) {
            EXPECT_TRUE(b[k].beat() || (k > 0 && b[k - 1].beat()) || (k + 1 < b.size() && b[k + 1].beat())) << k;
        }
        if (a[k].number("time") < 2.0) continue;
        for (const char* key : {"bass", "mid", "treble"}) {
            EXPECT_NEAR(b[k].number(key), a[k].number(key), 0.1 * a[k].number(key) + 1e-4) << key << " at " << k;
        }
    }
}

struct BadSongCase {
    const char* name;
    const char* contents;  // nullptr: no file at all
    const char* reason;
};

class BadSongs : public testing::TestWithParam<BadSongCase> {};

TEST_P(BadSongs, StopWithOneLineAndWriteNothing) {
    const BadSongCase& c = GetParam();
    ScratchDir dir;
    if (c.contents) dir.write("song.mp3", c.contents);
    const ToolRun run = render(dir, {"--audio", "song.mp3", "--log-frames", "log.jsonl", "--out", "last.png",
                                     "--sheet", "sheet.png", "--frames-dir", "frames"});
    EXPECT_EQ(run.exitCode, 2);
    const std::string prefix = "triangle-render: --audio song.mp3: ";
    EXPECT_EQ(run.err.compare(0, prefix.size(), prefix), 0) << run.err;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    for (const char* output : {"log.jsonl", "last.png", "sheet.png", "frames"}) {
        EXPECT_FALSE(fileExists(dir.file(output))) << output;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, BadSongs,
                         testing::Values(BadSongCase{"missing", nullptr, "no such file"},
                                         BadSongCase{"empty", "", "empty file"},
                                         BadSongCase{"notAudio", "[frame]\nn = 1\n", "no audio stream"},
                                         BadSongCase{"binaryJunk", "\x01\x02\x03\x04 junk \xff\xfe", "not an audio file"}),
                         [](const testing::TestParamInfo<BadSongCase>& param) { return param.param.name; });

uint64_t fnv(const std::string& bytes, uint64_t hash = 14695981039346656037ull) {
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

TEST(RenderWithMusic, IsTheSameBitForBitEveryRun) {
    Song song;
    song.write("song.wav", audio::signals::song(128, 4));
    std::vector<uint64_t> digests;
    for (int run = 0; run < 2; ++run) {
        const ToolRun result = render(song.dir, {"--audio", "song.wav", "--log-frames", "log.jsonl", "--out", "last.bgra"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        digests.push_back(fnv(readFile(song.dir.file("last.bgra")), fnv(readFile(song.dir.file("log.jsonl")))));
    }
    EXPECT_EQ(digests[0], digests[1]);
    EXPECT_EQ(digests[0], 0x81215fc2667c7bddull) << std::hex << digests[0];
}

struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    bool ok;
    bool (*holds)(const previewer::Options&);
};

class MusicOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(MusicOptions, ParseOrSayWhy) {
    std::vector<std::string> args = GetParam().args;
    args.push_back("a.preset");
    const previewer::ParsedCommandLine parsed = previewer::parseCommandLine(args);
    ASSERT_EQ(parsed.outcome == previewer::ParsedCommandLine::Outcome::Run, GetParam().ok) << parsed.error;
    if (GetParam().ok) { EXPECT_TRUE(GetParam().holds(parsed.options)); }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, MusicOptions,
    testing::Values(
        OptionCase{"defaults", {}, true,
                   [](const previewer::Options& o) {
                       return o.fps == 60 && o.startSeconds == 0 && o.beatsFromMusic && !o.framesGiven && o.audioFile.empty();
                   }},
        OptionCase{"audio", {"--audio", "song.flac"}, true, [](const previewer::Options& o) { return o.audioFile == "song.flac"; }},
        OptionCase{"fps", {"--fps=240"}, true, [](const previewer::Options& o) { return o.fps == 240; }},
        OptionCase{"fpsZero", {"--fps", "0"}, false, nullptr},
        OptionCase{"fpsTooHigh", {"--fps", "241"}, false, nullptr},
        OptionCase{"start", {"--start", "12.25"}, true, [](const previewer::Options& o) { return o.startSeconds == 12.25; }},
        OptionCase{"startWhole", {"--start", "90"}, true, [](const previewer::Options& o) { return o.startSeconds == 90; }},
        OptionCase{"startNegative", {"--start", "-1"}, false, nullptr},
        OptionCase{"startNotANumber", {"--start", "1m30"}, false, nullptr},
        OptionCase{"framesGiven", {"--frames", "10"}, true, [](const previewer::Options& o) { return o.framesGiven; }},
        OptionCase{"beatsNone", {"--beats", "none"}, true, [](const previewer::Options& o) { return !o.beatsFromMusic; }},
        OptionCase{"beatsUnknown", {"--beats", "some"}, false, nullptr},
        OptionCase{"beatsNoneAndPeriodic", {"--beats", "none", "--beat-every", "4"}, false, nullptr},
        OptionCase{"logFrames", {"--log-frames", "f.jsonl"}, true,
                   [](const previewer::Options& o) { return o.logFramesFile == "f.jsonl"; }},
        OptionCase{"logFramesEmpty", {"--log-frames="}, false, nullptr}),
    [](const testing::TestParamInfo<OptionCase>& param) { return param.param.name; });

struct ExampleCase {
    const char* name;
    const char* preset;
};

class MusicExamples : public testing::TestWithParam<ExampleCase> {};

// Each music example compiles strictly and draws differently with the example
// track than in silence.
TEST_P(MusicExamples, ReactToTheExampleTrack) {
    ScratchDir dir;
    const std::string preset = std::string(EXAMPLES_DIR) + "/" + GetParam().preset;
    const std::string song = std::string(EXAMPLES_DIR) + "/music/groove.ogg";
    const std::vector<std::string> common = {"--quiet", "--strict", "--size", "64x36", "--fps", "30", "--frames", "45"};
    std::vector<std::string> withSong = common, silent = common;
    withSong.insert(withSong.end(), {"--audio", song, "--out", "song.bgra", "--log-frames", "log.jsonl", preset});
    silent.insert(silent.end(), {"--out", "silent.bgra", preset});
    const ToolRun a = runTool(withSong, dir.path());
    const ToolRun b = runTool(silent, dir.path());
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(b.exitCode, 0) << b.err;
    EXPECT_NE(readBgra(dir.file("song.bgra")), readBgra(dir.file("silent.bgra")));
    int beats = 0;
    for (const LogLine& line : parseLog(readFile(dir.file("log.jsonl")))) beats += line.beat();
    EXPECT_GE(beats, 2);
}

INSTANTIATE_TEST_SUITE_P(Presets, MusicExamples,
                         testing::Values(ExampleCase{"spectrumBars", "spectrum-bars.preset"},
                                         ExampleCase{"waveRing", "wave-ring.preset"},
                                         ExampleCase{"musicBurst", "music-burst.preset"}),
                         [](const testing::TestParamInfo<ExampleCase>& param) { return param.param.name; });

}  // namespace
