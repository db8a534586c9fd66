// Picture outputs: the type by extension and the raw frame layout.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "previewer/picture_output.h"
#include "scratch_dir.h"

namespace {

using previewer::PictureFormat;

struct FormatCase {
    const char* path;
    PictureFormat format;
};

class PictureFormatByName : public testing::TestWithParam<FormatCase> {};

TEST_P(PictureFormatByName, FollowsTheExtension) {
    EXPECT_EQ(previewer::pictureFormatOf(GetParam().path), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(Names, PictureFormatByName,
                         testing::Values(FormatCase{"a.png", PictureFormat::Png}, FormatCase{"A.PNG", PictureFormat::Png},
                                         FormatCase{"dir.png/frame.bgra", PictureFormat::Bgra},
                                         FormatCase{"x.jpg", PictureFormat::Unknown},
                                         FormatCase{"png", PictureFormat::Unknown},
                                         FormatCase{"a.bgra.txt", PictureFormat::Unknown}));

TEST(RawFrame, IsLittleEndianWordsRowByRow) {
    previewer::Image image(2, 2, 0);
    image.at(0, 0) = 0x11223344;
    image.at(1, 0) = 0xAABBCCDD;
    image.at(0, 1) = 0x00000001;
    image.at(1, 1) = 0x80000000;
    EXPECT_EQ(previewer::encodeBgra(image), std::string("\x44\x33\x22\x11\xDD\xCC\xBB\xAA"
                                                        "\x01\x00\x00\x00\x00\x00\x00\x80",
                                                        16));
}

TEST(PictureOutput, UnknownTypeWritesNothing) {
    ScratchDir dir;
    std::string error;
    EXPECT_FALSE(previewer::writePicture(dir.file("x.gif"), previewer::Image(1, 1, 0), error));
    EXPECT_NE(error.find("unknown picture type"), std::string::npos) << error;
    EXPECT_TRUE(dir.entries().empty());
}

}  // namespace
