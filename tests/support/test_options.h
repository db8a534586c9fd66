// What the core tests' command line asked for (support/test_main.cpp).
#pragma once

// True when the run binds the scalar spans (--scalar-spans).
bool testsRunWithScalarSpans();
