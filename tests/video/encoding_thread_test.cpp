// The writer's encoding thread: jobs run once each, in the order posted; the
// first failure ends the file's encoding and is what every later call
// reports; stopping drops what has not started.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "video/encoding_thread.h"

namespace {

struct OrderCase {
    const char* name;
    size_t maxWaiting;
    int jobs;
    int failingJob;  // -1: none fails
    int postsAccepted;
    std::vector<int> ran;
};

const OrderCase kOrder[] = {
    {"OneWaiting", 1, 6, -1, 6, {0, 1, 2, 3, 4, 5}},
    {"SeveralWaiting", 4, 6, -1, 6, {0, 1, 2, 3, 4, 5}},
    {"FirstFails", 1, 4, 0, 1, {0}},
    {"ThirdFails", 2, 6, 2, 3, {0, 1, 2}},
    {"LastFails", 1, 3, 2, 3, {0, 1, 2}},
};

class EncodingThreadOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(EncodingThreadOrder, RunsInOrderAndStopsAtTheFirstFailure) {
    const OrderCase& c = GetParam();
    std::mutex ranMutex;
    std::vector<int> ran;
    video::EncodingThread thread(c.maxWaiting);
    int accepted = 0;
    std::string postError;
    for (int k = 0; k < c.jobs; ++k) {
        // A failure is seen by the first post after it, so wait for it to happen.
        if (c.failingJob >= 0 && k == c.failingJob + 1) {
            std::string ignored;
            thread.drain(ignored);
        }
        const bool posted = thread.post(
            [&, k](std::string& error) {
                std::lock_guard<std::mutex> lock(ranMutex);
                ran.push_back(k);
                if (k != c.failingJob) return true;
                error = "job " + std::to_string(k) + " failed";
                return false;
            },
            postError);
        if (!posted) break;
        ++accepted;
    }
    std::string drainError;
    const bool drained = thread.drain(drainError);
    EXPECT_EQ(accepted, c.postsAccepted);
    EXPECT_EQ(ran, c.ran);
    if (c.failingJob < 0) {
        EXPECT_TRUE(drained);
        EXPECT_EQ(postError, "");
    } else {
        const std::string expected = "job " + std::to_string(c.failingJob) + " failed";
        EXPECT_FALSE(drained);
        EXPECT_EQ(drainError, expected);
        if (c.postsAccepted < c.jobs) {
            EXPECT_EQ(postError, expected);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, EncodingThreadOrder, ::testing::ValuesIn(kOrder),
                         [](const ::testing::TestParamInfo<OrderCase>& param) { return param.param.name; });

TEST(EncodingThreadStop, LetsTheRunningJobEndAndDropsTheWaitingOnes) {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false, released = false, secondRan = false;
    video::EncodingThread thread(1);
    std::string error;
    ASSERT_TRUE(thread.post(
        [&](std::string&) {
            std::unique_lock<std::mutex> lock(mutex);
            started = true;
            changed.notify_all();
            changed.wait(lock, [&] { return released; });
            return true;
        },
        error));
    ASSERT_TRUE(thread.post(
        [&](std::string&) {
            std::lock_guard<std::mutex> lock(mutex);
            secondRan = true;
            return true;
        },
        error));
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return started; });
    }
    // The queue is full, so this post returns only once stop() has begun.
    std::thread releaser([&] {
        std::string stopped;
        EXPECT_FALSE(thread.post([](std::string&) { return true; }, stopped));
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    });
    thread.stop();
    releaser.join();
    EXPECT_FALSE(secondRan);
    EXPECT_FALSE(thread.post([](std::string&) { return true; }, error));
    EXPECT_EQ(error, "video encoding stopped");
}

}  // namespace
