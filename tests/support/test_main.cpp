// The core tests' entry point. --scalar-spans runs them with the scalar span
// routines bound in place of the vector ones, --sse2-spans with SSE2 at most.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "render/span_table.h"
#include "support/test_main.h"

namespace {
render::SpanVariant g_spanLimit = render::SpanVariant::Avx2;
}

render::SpanVariant testsSpanLimit() { return g_spanLimit; }
bool testsRunWithScalarSpans() { return g_spanLimit == render::SpanVariant::Scalar; }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--scalar-spans") == 0) {
            g_spanLimit = render::SpanVariant::Scalar;
        } else if (std::strcmp(argv[k], "--sse2-spans") == 0) {
            g_spanLimit = render::SpanVariant::Sse2;
        } else {
            std::fprintf(stderr, "unknown option %s (only --scalar-spans, --sse2-spans and gtest's own)\n", argv[k]);
            return 2;
        }
    }
    render::limitSpanVariant(g_spanLimit);
    return RUN_ALL_TESTS();
}
