// Ends the test program with a failure when a piece of a test never finishes:
// a deadlocked or spinning call cannot be returned from, so the only honest
// report is from another thread. The limit separates "finishes" from "never";
// it is no measure of speed.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

class HangWatchdog {
public:
    explicit HangWatchdog(std::string what, std::chrono::seconds limit = std::chrono::seconds(10))
        : what_(std::move(what)), thread_([this, limit] { watch(limit); }) {}
    ~HangWatchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    HangWatchdog(const HangWatchdog&) = delete;
    HangWatchdog& operator=(const HangWatchdog&) = delete;

private:
    void watch(std::chrono::seconds limit) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, limit, [this] { return finished_; })) return;
        std::fprintf(stderr, "FAILED: %s did not finish within %lld s: it hangs\n", what_.c_str(),
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(1);
    }

    std::string what_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool finished_ = false;
    std::thread thread_;
};
