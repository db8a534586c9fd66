// Runs the writer's encoding jobs on a thread of its own, in the order they
// were posted, so that the caller draws and converts the next frame while
// the last one is encoded. At most `maxWaiting` jobs wait: a caller that runs
// ahead of the encoder is held back, and memory stays bounded.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace video {

class EncodingThread {
public:
    // False with an error message: the file cannot be completed.
    using Job = std::function<bool(std::string& error)>;

    explicit EncodingThread(size_t maxWaiting);
    // Stops as stop() does.
    ~EncodingThread();
    EncodingThread(const EncodingThread&) = delete;
    EncodingThread& operator=(const EncodingThread&) = delete;

    // Queues a job, waiting for room. Once a job has failed, no further job
    // runs: false, with that job's error.
    bool post(Job job, std::string& error);
    // Waits until every job posted has run; false with the first error.
    bool drain(std::string& error);
    // Drops the jobs still waiting, lets the running one end and joins.
    void stop();

private:
    void run();

    const size_t maxWaiting_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> waiting_;
    bool busy_ = false;
    bool stopping_ = false;
    bool failed_ = false;
    std::string error_;
    std::thread thread_;
};

}  // namespace video
