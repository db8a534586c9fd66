#include "video/encoding_thread.h"

#include <utility>

namespace video {

EncodingThread::EncodingThread(size_t maxWaiting)
    : maxWaiting_(maxWaiting > 0 ? maxWaiting : 1), thread_([this] { run(); }) {}

EncodingThread::~EncodingThread() { stop(); }

bool EncodingThread::post(Job job, std::string& error) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || stopping_ || waiting_.size() < maxWaiting_; });
    if (failed_) {
        error = error_;
        return false;
    }
    if (stopping_) {
        error = "video encoding stopped";
        return false;
    }
    waiting_.push_back(std::move(job));
    changed_.notify_all();
    return true;
}

bool EncodingThread::drain(std::string& error) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || stopping_ || (waiting_.empty() && !busy_); });
    if (failed_) {
        error = error_;
        return false;
    }
    return true;
}

void EncodingThread::stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        waiting_.clear();
        changed_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
}

void EncodingThread::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) return;
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        changed_.notify_all();
        lock.unlock();
        std::string error;
        const bool ok = job(error);
        job = nullptr;  // what it holds is let go outside the lock
        lock.lock();
        busy_ = false;
        if (!ok) {
            failed_ = true;
            error_ = error;
            waiting_.clear();
        }
        changed_.notify_all();
    }
}

}  // namespace video
