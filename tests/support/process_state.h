// Puts the module's process-wide state (the table in docs/architecture.md)
// back to its start around each test, so that no test sees what another left.
// The host table and the sink are not touched: the fixtures' FakeHost and
// RecordingSink install and remove them themselves.
#pragma once

#include <gtest/gtest.h>

void resetProcessState();

class ProcessStateTest : public testing::Test {
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }
};
