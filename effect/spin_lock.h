// A tiny lock for the code strings: the editor panel replaces them on its own
// thread while the renderer may be copying them to compile. Contention is rare
// and short (a pointer swap or a copy), so spinning with a yield is enough and
// keeps the module free of a threading runtime. It is never held across a
// call into the host or the platform: those may re-enter the effect on the
// same thread, and the lock is not recursive.
#pragma once

#include <atomic>
#include <thread>

class SpinLock {
public:
    void lock() noexcept {
        while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
    }
    void unlock() noexcept { flag_.clear(std::memory_order_release); }

private:
    std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

class SpinLockGuard {
public:
    explicit SpinLockGuard(SpinLock& lock) noexcept : lock_(lock) { lock_.lock(); }
    ~SpinLockGuard() { lock_.unlock(); }
    SpinLockGuard(const SpinLockGuard&) = delete;
    SpinLockGuard& operator=(const SpinLockGuard&) = delete;

private:
    SpinLock& lock_;
};
