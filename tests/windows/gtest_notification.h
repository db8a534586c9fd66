// GoogleTest's Notification needs std::mutex, which MinGW's win32 thread model
// lacks. GoogleTest uses the class only to start threads of its own, which
// these tests never do, so a spinning flag serves.
#pragma once

#include <atomic>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
