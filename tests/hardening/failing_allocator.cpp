// Replaces the global operator new and delete of this test executable: every
// form goes to malloc and free, so the sanitizers still see each block, and
// the nothrow forms can be made to fail on command.
#include <atomic>
#include <cstdlib>
#include <new>

#include "failing_allocator.h"

namespace {

std::atomic<bool> g_failing{false};
std::atomic<long> g_successesLeft{0};
std::atomic<long> g_failures{0};
std::atomic<long> g_live{0};
std::atomic<long> g_oversized{0};

void* allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) ++g_live;
    return block;
}

void* allocateOrThrow(std::size_t size) {
    void* block = allocate(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* allocateNothrow(std::size_t size) noexcept {
    if (size > hardening::kLargestAllocation) {
        ++g_oversized;
        return nullptr;
    }
    if (g_failing.load() && g_successesLeft.fetch_sub(1) <= 0) {
        ++g_failures;
        return nullptr;
    }
    return allocate(size);
}

void release(void* block) noexcept {
    if (block == nullptr) return;
    --g_live;
    std::free(block);
}

}  // namespace

namespace hardening {

NothrowFailure::NothrowFailure(long successes) {
    g_failures = 0;
    g_successesLeft = successes;
    g_failing = true;
}

NothrowFailure::~NothrowFailure() { g_failing = false; }

long NothrowFailure::failures() const { return g_failures.load(); }

long liveAllocations() { return g_live.load(); }

long oversizedRequests() { return g_oversized.load(); }

}  // namespace hardening

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateNothrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateNothrow(size); }

void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, std::size_t) noexcept { release(block); }
void operator delete[](void* block, std::size_t) noexcept { release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { release(block); }
