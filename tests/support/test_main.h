// What the core tests' command line asked for (support/test_main.cpp).
#pragma once

#include "render/span_table.h"

// The widest span variant the run binds: Scalar for --scalar-spans, Sse2 for
// --sse2-spans, otherwise Avx2 (the widest the processor has).
render::SpanVariant testsSpanLimit();
// True when the run binds the scalar spans (--scalar-spans).
bool testsRunWithScalarSpans();
