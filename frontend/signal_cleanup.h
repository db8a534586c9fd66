// Temporary files that must not outlive the program, even when it is stopped
// by Ctrl-C or SIGTERM in the middle of its work.
#pragma once

namespace frontend {

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove every
// registered temporary file and then let the signal end the program as it
// would have anyway, so the exit status still says which signal it was.
void removeTemporariesOnSignals();

// Removes every registered temporary now, for a program about to end
// without unwinding (std::_Exit while another thread is busy).
void removeTemporariesNow();

// Registration, used by TemporaryFile. A path registered here is unlinked by
// the handlers. Returns a slot number, or -1 when every slot is taken (the
// file is then still removed on ordinary errors, just not on a signal).
int registerTemporary(const char* path);
void unregisterTemporary(int slot);

// Blocks the cleanup signals for the scope's lifetime, so that a rename and
// the matching unregistration happen as one step.
class CleanupSignalsBlocked {
public:
    CleanupSignalsBlocked();
    ~CleanupSignalsBlocked();
    CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
    CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

private:
    unsigned char saved_[256];  // a sigset_t, kept opaque to callers
};

}  // namespace frontend
