// Output files: written whole under a temporary name and renamed, or not at
// all; picture type by extension; the raw frame layout.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "previewer/atomic_output.h"
#include "previewer/picture_output.h"
#include "scratch_dir.h"

namespace {

using previewer::PictureFormat;

TEST(AtomicOutput, WritesAndLeavesNoTemporaryBehind) {
    ScratchDir dir;
    std::string error;
    ASSERT_TRUE(previewer::writeBytesAtomically(dir.file("out.bin"), std::string("ab\0c", 4), error)) << error;
    EXPECT_EQ(readFile(dir.file("out.bin")), std::string("ab\0c", 4));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("out.bin").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0044, 0u) << "readable like any new file, not just by its owner";
}

TEST(AtomicOutput, FailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    ScratchDir dir;
    dir.write("out.bin", "old");
    std::string seenTemp;
    std::string error;
    const bool ok = previewer::writeAtomically(
        dir.file("out.bin"),
        [&seenTemp](const std::string& tempPath, std::string& reason) {
            seenTemp = tempPath;
            reason = "disk full";
            return false;
        },
        error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, dir.file("out.bin") + ": disk full");
    EXPECT_EQ(seenTemp.rfind(dir.path() + "/", 0), 0u) << "the temporary sits beside the target: " << seenTemp;
    EXPECT_EQ(readFile(dir.file("out.bin")), "old");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
}

TEST(AtomicOutput, CheckRefusesMissingDirectoriesAndDirectories) {
    ScratchDir dir;
    std::string error;
    EXPECT_TRUE(previewer::checkOutputPath(dir.file("new.png"), error)) << error;
    EXPECT_FALSE(previewer::checkOutputPath(dir.file("nowhere/new.png"), error));
    EXPECT_NE(error.find("no such directory"), std::string::npos) << error;
    EXPECT_FALSE(previewer::checkOutputPath(dir.path(), error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
    EXPECT_TRUE(dir.entries().empty()) << "checking creates nothing";
}

TEST(AtomicOutput, EnsureDirectoryCreatesOneLevel) {
    ScratchDir dir;
    std::string error;
    EXPECT_TRUE(previewer::ensureDirectory(dir.file("frames"), error)) << error;
    EXPECT_TRUE(previewer::ensureDirectory(dir.file("frames"), error)) << "an existing one is fine";
    EXPECT_FALSE(previewer::ensureDirectory(dir.file("a/b"), error));
    dir.write("plain", "x");
    EXPECT_FALSE(previewer::ensureDirectory(dir.file("plain"), error));
}

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
