// The song is decoded on one thread and analysed on another: what reaches the
// frames must be what a plain decode followed by a whole-song analysis gives,
// and the queue between the threads must hand over every block in order.
// Runs in the ThreadSanitizer build too.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "audio/ffmpeg/decode_audio_file.h"
#include "audio/signals/test_signals.h"
#include "audio/track_analysis.h"
#include "previewer/hand_over_queue.h"
#include "previewer/music_track.h"
#include "scratch_dir.h"

namespace previewer {
namespace {

struct QueueCase {
    const char* name;
    size_t capacity;
    int items;
    bool consumerStopsEarly;  // closes after taking half: the producer must not hang
};

const QueueCase kQueues[] = {
    {"OneAtATime", 1, 500, false},
    {"RoomForSome", 4, 500, false},
    {"RoomForAll", 1000, 500, false},
    {"ConsumerGivesUp", 2, 500, true},
};

class HandOver : public ::testing::TestWithParam<QueueCase> {};

TEST_P(HandOver, EveryItemInOrderOnce) {
    const QueueCase& c = GetParam();
    HandOverQueue<std::vector<int>> queue(c.capacity);
    int refused = 0;
    std::thread producer([&] {
        for (int k = 0; k < c.items; ++k)
            if (!queue.push(std::vector<int>{k, -k})) ++refused;
        queue.close();
    });
    std::vector<int> taken;
    std::vector<int> item;
    while (queue.pop(item)) {
        ASSERT_EQ(item.size(), 2u);
        EXPECT_EQ(item[1], -item[0]);
        taken.push_back(item[0]);
        if (c.consumerStopsEarly && static_cast<int>(taken.size()) == c.items / 2) queue.close();
    }
    producer.join();
    for (size_t k = 0; k < taken.size(); ++k) ASSERT_EQ(taken[k], static_cast<int>(k));
    if (c.consumerStopsEarly) {
        EXPECT_GE(static_cast<int>(taken.size()), c.items / 2);
        EXPECT_EQ(static_cast<int>(taken.size()) + refused, c.items);
        EXPECT_GT(refused, 0);
    } else {
        EXPECT_EQ(static_cast<int>(taken.size()), c.items);
        EXPECT_EQ(refused, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Capacities, HandOver, ::testing::ValuesIn(kQueues),
                         [](const ::testing::TestParamInfo<QueueCase>& row) { return std::string(row.param.name); });

struct LoadCase {
    const char* name;
    bool mono;
    double start;
    int32_t frames;  // 0: the whole song
};

const LoadCase kLoads[] = {
    {"WholeStereoSong", false, 0.0, 0},
    {"MonoFromTheMiddle", true, 3.25, 0},
    {"CutShortByFrames", false, 1.0, 300},
};

class PipelinedLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(PipelinedLoad, SameMusicLevelsAndBeatsAsAPlainDecode) {
    const LoadCase& c = GetParam();
    ScratchDir dir;
    audio::StereoPcm song = audio::signals::song(120, 12.0);
    if (c.mono) song.right = song.left;
    const std::string wav = dir.file("song.wav");
    ASSERT_TRUE(audio::signals::writeWav(wav, song, false));

    Options options;
    options.audioFile = wav;
    options.startSeconds = c.start;
    options.framesGiven = c.frames > 0;
    if (c.frames > 0) options.frames = c.frames;
    std::string error;
    std::vector<std::string> warnings;
    const std::unique_ptr<MusicTrack> track = MusicTrack::load(options, error, warnings);
    ASSERT_TRUE(track) << error;
    ASSERT_TRUE(track->hasMusic());

    audio::DecodeOptions decode;
    decode.start = c.start;
    if (c.frames > 0) decode.maxSeconds = c.frames / 60.0 + 5.0;
    const audio::DecodeResult plain = audio::decodeAudioFile(wav, decode);
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_EQ(track->pcm().left, plain.pcm.left);
    EXPECT_EQ(track->pcm().right, plain.pcm.right);

    const audio::TrackAnalysis whole = audio::TrackAnalysis::analyse(plain.pcm);
    const int32_t frames = c.frames > 0 ? c.frames : track->framesOfMusic();
    const std::vector<bool> beats = whole.beatFrames(0, 60, frames);
    int beatCount = 0;
    auto frame = std::make_unique<standin::MusicFrame>();
    for (int32_t k = 0; k < frames; ++k) {
        ASSERT_EQ(track->isBeat(k), beats[static_cast<size_t>(k)]) << "frame " << k;
        beatCount += beats[static_cast<size_t>(k)] ? 1 : 0;
        track->fill(k, *frame);
        const audio::Levels levels = whole.levelsAt(k / 60.0);
        ASSERT_EQ(frame->bass, levels.bass) << "frame " << k;
        ASSERT_EQ(frame->treble, levels.treble) << "frame " << k;
    }
    EXPECT_GT(beatCount, 0);
}

INSTANTIATE_TEST_SUITE_P(Songs, PipelinedLoad, ::testing::ValuesIn(kLoads),
                         [](const ::testing::TestParamInfo<LoadCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace previewer
