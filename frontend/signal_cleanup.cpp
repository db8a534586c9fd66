#include "frontend/signal_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace frontend {

namespace {

// The handler may run at any moment, so it reads only fixed storage: each
// slot's path is complete before its state says so.
constexpr int kSlots = 32;
constexpr size_t kPathBytes = 4096;
enum SlotState : int { kFree = 0, kFilling = 1, kReady = 2 };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kPathBytes];
};

Slot slots[kSlots];

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

static_assert(sizeof(sigset_t) <= 256, "a sigset_t fits the saved mask");

void unlinkReadySlots() {
    for (Slot& slot : slots) {
        if (slot.state.load() == kReady) ::unlink(slot.path);
    }
}

extern "C" void removeAndReraise(int signalNumber) {
    const int savedErrno = errno;
    unlinkReadySlots();
    // The handler was installed with SA_RESETHAND, so the default action,
    // ending the program, applies once the signal is delivered again.
    errno = savedErrno;
    ::raise(signalNumber);
}

sigset_t cleanupSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signalNumber : kCleanupSignals) sigaddset(&set, signalNumber);
    return set;
}

}  // namespace

void removeTemporariesNow() { unlinkReadySlots(); }

void removeTemporariesOnSignals() {
    struct sigaction action {};
    action.sa_handler = removeAndReraise;
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kCleanupSignals) {
        struct sigaction previous {};
        // A signal the parent told us to ignore stays ignored.
        if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

int registerTemporary(const char* path) {
    if (std::strlen(path) >= kPathBytes) return -1;
    for (int k = 0; k < kSlots; ++k) {
        int expected = kFree;
        if (!slots[k].state.compare_exchange_strong(expected, kFilling)) continue;
        std::strcpy(slots[k].path, path);
        slots[k].state.store(kReady);
        return k;
    }
    return -1;
}

void unregisterTemporary(int slot) {
    if (slot >= 0 && slot < kSlots) slots[slot].state.store(kFree);
}

CleanupSignalsBlocked::CleanupSignalsBlocked() {
    const sigset_t set = cleanupSignalSet();
    sigset_t old;
    ::sigprocmask(SIG_BLOCK, &set, &old);
    std::memcpy(saved_, &old, sizeof old);
}

CleanupSignalsBlocked::~CleanupSignalsBlocked() {
    sigset_t old;
    std::memcpy(&old, saved_, sizeof old);
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
}

}  // namespace frontend
