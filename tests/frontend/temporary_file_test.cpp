// Outputs written under a temporary name beside the target and renamed, or
// not at all; the temporary never outlives an error.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "frontend/temporary_file.h"
#include "scratch_dir.h"

namespace {

TEST(TemporaryFile, WritesAndLeavesNoTemporaryBehind) {
    ScratchDir dir;
    std::string error;
    ASSERT_TRUE(frontend::writeBytesAtomically(dir.file("out.bin"), std::string("ab\0c", 4), error)) << error;
    EXPECT_EQ(readFile(dir.file("out.bin")), std::string("ab\0c", 4));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
    struct stat info {};
    ASSERT_EQ(::stat(dir.file("out.bin").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & 0044, 0u) << "readable like any new file, not just by its owner";
}

TEST(TemporaryFile, FailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    ScratchDir dir;
    dir.write("out.bin", "old");
    std::string seenTemp;
    std::string error;
    const bool ok = frontend::writeAtomically(
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

TEST(TemporaryFile, CheckRefusesMissingDirectoriesAndDirectories) {
    ScratchDir dir;
    std::string error;
    EXPECT_TRUE(frontend::checkOutputPath(dir.file("new.png"), error)) << error;
    EXPECT_FALSE(frontend::checkOutputPath(dir.file("nowhere/new.png"), error));
    EXPECT_NE(error.find("no such directory"), std::string::npos) << error;
    EXPECT_FALSE(frontend::checkOutputPath(dir.path(), error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
    EXPECT_TRUE(dir.entries().empty()) << "checking creates nothing";
}

TEST(TemporaryFile, EnsureDirectoryCreatesOneLevel) {
    ScratchDir dir;
    std::string error;
    EXPECT_TRUE(frontend::ensureDirectory(dir.file("frames"), error)) << error;
    EXPECT_TRUE(frontend::ensureDirectory(dir.file("frames"), error)) << "an existing one is fine";
    EXPECT_FALSE(frontend::ensureDirectory(dir.file("a/b"), error));
    dir.write("plain", "x");
    EXPECT_FALSE(frontend::ensureDirectory(dir.file("plain"), error));
}

struct Ending {
    const char* name;
    bool commit;
    bool keepsOld;  // the target still holds what it held before
};

class TemporaryFileEnding : public testing::TestWithParam<Ending> {};

TEST_P(TemporaryFileEnding, LeavesOnlyTheTarget) {
    ScratchDir dir;
    dir.write("out.bin", "old");
    std::string error;
    {
        frontend::TemporaryFile file(dir.file("out.bin"));
        ASSERT_TRUE(file.create(error)) << error;
        EXPECT_EQ(file.path().rfind(dir.path() + "/.out.bin.", 0), 0u) << file.path();
        EXPECT_TRUE(fileExists(file.path())) << "it exists from create() on";
        ASSERT_TRUE(frontend::writeBytes(file.path(), "new", error)) << error;
        if (GetParam().commit) {
            EXPECT_TRUE(file.commit(error)) << error;
        }
    }
    EXPECT_EQ(readFile(dir.file("out.bin")), GetParam().keepsOld ? "old" : "new");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
}

INSTANTIATE_TEST_SUITE_P(Endings, TemporaryFileEnding,
                         testing::Values(Ending{"Committed", true, false}, Ending{"Abandoned", false, true}),
                         [](const testing::TestParamInfo<Ending>& testCase) { return std::string(testCase.param.name); });

TEST(TemporaryFile, CommitIntoAVanishedDirectoryFailsAndCleansUp) {
    ScratchDir dir;
    std::string error;
    frontend::TemporaryFile file(dir.file("out.bin"));
    ASSERT_TRUE(file.create(error)) << error;
    // The target is now a directory with something in it: rename must fail.
    ASSERT_EQ(::mkdir(dir.file("out.bin").c_str(), 0777), 0);
    dir.write("out.bin/inside", "x");
    EXPECT_FALSE(file.commit(error));
    EXPECT_NE(error.find("cannot rename into place"), std::string::npos) << error;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.bin"});
}

}  // namespace
