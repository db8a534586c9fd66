// Ends the test program with a failure when a piece of a test never finishes:
// a call spinning on a lock its own thread holds cannot be returned from, so
// the report has to come from another thread. The limit separates "finishes"
// from "never"; it is no measure of speed.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

class HangWatchdog {
public:
    explicit HangWatchdog(std::string what, DWORD limitMs = 10000)
        : what_(std::move(what)), limitMs_(limitMs), finished_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = CreateThread(nullptr, 0, &HangWatchdog::watch, this, 0, nullptr);
    }
    ~HangWatchdog() {
        SetEvent(finished_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(finished_);
    }
    HangWatchdog(const HangWatchdog&) = delete;
    HangWatchdog& operator=(const HangWatchdog&) = delete;

private:
    static DWORD WINAPI watch(void* self) {
        HangWatchdog& dog = *static_cast<HangWatchdog*>(self);
        if (WaitForSingleObject(dog.finished_, dog.limitMs_) == WAIT_OBJECT_0) return 0;
        std::fprintf(stderr, "FAILED: %s did not finish within %lu ms: it hangs\n", dog.what_.c_str(),
                     static_cast<unsigned long>(dog.limitMs_));
        std::fflush(stderr);
        ExitProcess(1);
    }

    std::string what_;
    DWORD limitMs_;
    HANDLE finished_;
    HANDLE thread_ = nullptr;
};
