// Control over the test executable's own global operator new and delete
// (failing_allocator.cpp), for fault injection and leak counts.
#pragma once

#include <cstddef>

namespace hardening {

// Nothrow requests above this size always fail, as they would in the 32-bit
// host process the module runs in; a test can ask whether any was made.
constexpr size_t kLargestAllocation = size_t{1} << 30;

// While one lives, nothrow allocations (the module's only kind) fail after
// the first `successes` of them. Throwing ones (the test framework's) are
// never failed.
class NothrowFailure {
public:
    explicit NothrowFailure(long successes = 0);
    ~NothrowFailure();
    NothrowFailure(const NothrowFailure&) = delete;
    NothrowFailure& operator=(const NothrowFailure&) = delete;

    // Nothrow allocations failed on purpose so far.
    long failures() const;
};

// Blocks from any operator new not yet given back (all threads).
long liveAllocations();
// Nothrow requests refused for exceeding kLargestAllocation since start.
long oversizedRequests();

}  // namespace hardening
