// The core tests' entry point. --scalar-spans runs them with the scalar span
// routines bound in place of the vector ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "render/pixel_op.h"
#include "support/test_options.h"

namespace {
bool g_scalarSpans = false;
}

bool testsRunWithScalarSpans() { return g_scalarSpans; }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--scalar-spans") == 0) {
            g_scalarSpans = true;
        } else {
            std::fprintf(stderr, "unknown option %s (only --scalar-spans and gtest's own)\n", argv[k]);
            return 2;
        }
    }
    render::setScalarSpansOnly(g_scalarSpans);
    return RUN_ALL_TESTS();
}
