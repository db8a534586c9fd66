// Puts the process-wide state (the table in docs/architecture.md) back to its
// start around each test, so that no test sees what another left: the
// renderer's caches and caps, the depth buffer and its allocator, the panel's
// effect and opener, the host table, a sink standing in for the renderer and
// the stand-in host's blend word.
#pragma once

#include <gtest/gtest.h>

void resetProcessState();

// The fixture every test that touches that state derives from. It resets on
// construction and destruction, not in SetUp and TearDown: a derived
// fixture's members (a FakeHost, a RecordingSink) install themselves after
// the base is built and are gone before it is destroyed, so the reset never
// undoes them. Every effect a test makes must be gone by its end.
class ProcessStateTest : public testing::Test {
protected:
    ProcessStateTest() { resetProcessState(); }
    ~ProcessStateTest() override;
};
