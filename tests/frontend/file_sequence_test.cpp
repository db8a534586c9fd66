// Numbered frame files: which names belong to the sequence, and removing the
// frames of an earlier, longer render without touching anything else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/file_sequence.h"
#include "scratch_dir.h"

namespace {

struct NameCase {
    const char* name;
    bool belongs;
    int64_t number;
};

class SequenceNames : public testing::TestWithParam<NameCase> {};

TEST_P(SequenceNames, MatchOnlyTheWrittenPattern) {
    const frontend::FileSequence frames("d", "frame-", ".png");
    int64_t number = -1;
    EXPECT_EQ(frames.matches(GetParam().name, number), GetParam().belongs) << GetParam().name;
    if (GetParam().belongs) {
        EXPECT_EQ(number, GetParam().number);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, SequenceNames,
    testing::Values(NameCase{"frame-0000.png", true, 0}, NameCase{"frame-0042.png", true, 42},
                    NameCase{"frame-12345.png", true, 12345}, NameCase{"frame-012345.png", false, 0},
                    NameCase{"frame-042.png", false, 0}, NameCase{"frame-0001.png.bak", false, 0},
                    NameCase{"frame-00a1.png", false, 0}, NameCase{"frame-0001.PNG", false, 0},
                    NameCase{"my-frame-0001.png", false, 0}, NameCase{"frame-.png", false, 0},
                    NameCase{".frame-0001.png.Ab12Cd", false, 0}));

TEST(FileSequence, PathsArePaddedToFourDigits) {
    const frontend::FileSequence frames("out", "frame-", ".png");
    EXPECT_EQ(frames.path(0), "out/frame-0000.png");
    EXPECT_EQ(frames.path(123), "out/frame-0123.png");
    EXPECT_EQ(frames.path(12345), "out/frame-12345.png");
}

struct RemovalCase {
    int32_t count;
    std::vector<std::string> left;
};

class RemovingStaleFrames : public testing::TestWithParam<RemovalCase> {};

TEST_P(RemovingStaleFrames, KeepsWhatIsNotBeyondTheCount) {
    ScratchDir dir;
    for (const char* name : {"frame-0000.png", "frame-0001.png", "frame-0002.png", "frame-0010.png",
                             "frame-0002.png.bak", "notes.txt"})
        dir.write(name, "x");
    const frontend::FileSequence frames(dir.path(), "frame-", ".png");
    std::string error;
    ASSERT_TRUE(frames.removeFrom(GetParam().count, error)) << error;
    EXPECT_EQ(dir.entries(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, RemovingStaleFrames,
    testing::Values(
        RemovalCase{1, {"frame-0000.png", "frame-0002.png.bak", "notes.txt"}},
        RemovalCase{3, {"frame-0000.png", "frame-0001.png", "frame-0002.png", "frame-0002.png.bak", "notes.txt"}},
        RemovalCase{11,
                    {"frame-0000.png", "frame-0001.png", "frame-0002.png", "frame-0002.png.bak", "frame-0010.png",
                     "notes.txt"}}));

}  // namespace
