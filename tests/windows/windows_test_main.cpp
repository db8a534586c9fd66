// Windows-side tests of the module: loads the module named on the command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "loaded_module.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [gtest options] MODULE.dll\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!loadModule(argv[1], &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    return RUN_ALL_TESTS();
}
