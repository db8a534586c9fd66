// A clip that is stopped, or dropped without being finished, leaves no file.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../previewer/scratch_dir.h"
#include "video/video_writer.h"

namespace {

enum class Ending { Abort, DropUnfinished, Finish };

struct EndingCase {
    const char* file;
    Ending ending;
    bool fileLeft;
};

const EndingCase kEndings[] = {
    {"a.mp4", Ending::Abort, false},         {"a.webm", Ending::Abort, false},
    {"a.gif", Ending::Abort, false},         {"a.mp4", Ending::DropUnfinished, false},
    {"a.webm", Ending::DropUnfinished, false}, {"a.gif", Ending::Finish, true},
    {"a.mp4", Ending::Finish, true},
};

class UnfinishedFile : public ::testing::TestWithParam<EndingCase> {};

TEST_P(UnfinishedFile, IsRemoved) {
    const EndingCase& c = GetParam();
    ScratchDir dir;
    video::VideoSettings settings;
    settings.path = dir.file(c.file);
    settings.width = 32;
    settings.height = 18;
    settings.fps = 10;
    std::string error;
    std::unique_ptr<video::VideoWriter> writer = video::VideoWriter::open(settings, error);
    ASSERT_TRUE(writer) << error;
    const std::vector<uint32_t> frame(32 * 18, 0x00FF8800u);
    for (int k = 0; k < 5; ++k) ASSERT_TRUE(writer->writeFrame(frame.data(), 32, error)) << error;
    EXPECT_EQ(writer->framesWritten(), 5);
    switch (c.ending) {
    case Ending::Abort:
        writer->abort();
        break;
    case Ending::DropUnfinished:
        break;
    case Ending::Finish:
        ASSERT_TRUE(writer->finish(error)) << error;
        EXPECT_FALSE(writer->finish(error)) << "finished once only";
        break;
    }
    writer.reset();
    EXPECT_EQ(dir.entries().size(), c.fileLeft ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Endings, UnfinishedFile, ::testing::ValuesIn(kEndings));

}  // namespace
