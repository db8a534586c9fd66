// An output that is an input under another name is refused; others pass.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "frontend/input_files.h"
#include "scratch_dir.h"

namespace {

struct OutputCase {
    const char* name;
    const char* output;
    bool allowed;
};

class OutputAgainstInputs : public testing::TestWithParam<OutputCase> {};

TEST_P(OutputAgainstInputs, SameFileIsRefused) {
    ScratchDir dir;
    dir.write("a.preset", "[frame]\n");
    dir.write("other.png", "x");
    ASSERT_EQ(::link(dir.file("a.preset").c_str(), dir.file("hard.link").c_str()), 0);
    ASSERT_EQ(::symlink("a.preset", dir.file("soft.link").c_str()), 0);
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0777), 0);

    frontend::InputFiles inputs;
    inputs.add(dir.file("a.preset"));
    inputs.add(dir.file("missing.preset"));
    std::string error;
    EXPECT_EQ(inputs.checkOutput("--out", dir.file(GetParam().output), error), GetParam().allowed) << error;
    if (!GetParam().allowed) {
        EXPECT_EQ(error.rfind("--out " + dir.file(GetParam().output) + ": is the input", 0), 0u) << error;
    }
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputAgainstInputs,
                         testing::Values(OutputCase{"SamePath", "a.preset", false},
                                         OutputCase{"OtherSpelling", "sub/../a.preset", false},
                                         OutputCase{"HardLink", "hard.link", false},
                                         OutputCase{"SymbolicLink", "soft.link", false},
                                         OutputCase{"OtherFile", "other.png", true},
                                         OutputCase{"NewFile", "new.png", true},
                                         OutputCase{"MissingInputName", "missing.preset", true}),
                         [](const testing::TestParamInfo<OutputCase>& testCase) { return std::string(testCase.param.name); });

}  // namespace
