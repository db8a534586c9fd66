// Items handed from one thread to another in order, at most `capacity`
// waiting: the producer waits when the consumer falls behind, so memory
// stays bounded. Closing ends it from either side.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>

namespace previewer {

template <typename Item>
class HandOverQueue {
public:
    explicit HandOverQueue(size_t capacity) : capacity_(capacity > 0 ? capacity : 1) {}

    // Waits for room; false (the item dropped) once the queue is closed.
    bool push(Item item) {
        std::unique_lock<std::mutex> lock(mutex_);
        roomOrClosed_.wait(lock, [this] { return closed_ || items_.size() < capacity_; });
        if (closed_) return false;
        items_.push_back(std::move(item));
        itemOrClosed_.notify_one();
        return true;
    }

    // Waits for the next item; false once the queue is closed and empty.
    bool pop(Item& item) {
        std::unique_lock<std::mutex> lock(mutex_);
        itemOrClosed_.wait(lock, [this] { return closed_ || !items_.empty(); });
        if (items_.empty()) return false;
        item = std::move(items_.front());
        items_.pop_front();
        roomOrClosed_.notify_one();
        return true;
    }

    // No more pushes; what is queued can still be popped.
    void close() {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        itemOrClosed_.notify_all();
        roomOrClosed_.notify_all();
    }

private:
    size_t capacity_;
    std::mutex mutex_;
    std::condition_variable itemOrClosed_, roomOrClosed_;
    std::deque<Item> items_;
    bool closed_ = false;
};

}  // namespace previewer
