#include "BoundedWorker.h"

#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

using mailvane::phone::BoundedWorker;
using namespace std::chrono_literals;

namespace {

// A call that blocks until released, as a phone that does not answer.
struct Gate
{
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;

    void wait()
    {
        std::unique_lock lock(mutex);
        opened.wait(lock, [this] { return open; });
    }
    void release()
    {
        {
            const std::lock_guard lock(mutex);
            open = true;
        }
        opened.notify_all();
    }
};

} // namespace

TEST(BoundedWorker, callThatReturnsInTimeIsFinished)
{
    BoundedWorker worker;
    int result = 0;
    EXPECT_EQ(worker.run([&] { result = 7; }, 10s, {}, 1s), BoundedWorker::Outcome::Finished);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(worker.run([&] { result = 8; }, 10s, {}, 1s), BoundedWorker::Outcome::Finished);
    EXPECT_EQ(result, 8);
}

TEST(BoundedWorker, overrunningCallIsAbortedAndTheWorkerStaysUsable)
{
    BoundedWorker worker;
    auto gate = std::make_shared<Gate>();
    std::atomic<int> aborts = 0;
    EXPECT_EQ(worker.run([gate] { gate->wait(); }, 20ms,
                         [&] {
                             ++aborts;
                             gate->release();
                         },
                         10s),
              BoundedWorker::Outcome::TimedOut);
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(worker.givenUp());
    bool ran = false;
    EXPECT_EQ(worker.run([&] { ran = true; }, 10s, {}, 1s), BoundedWorker::Outcome::Finished);
    EXPECT_TRUE(ran);
}

TEST(BoundedWorker, callThatIgnoresTheAbortIsGivenUpWithoutHanging)
{
    auto gate = std::make_shared<Gate>();
    {
        BoundedWorker worker;
        EXPECT_EQ(worker.run([gate] { gate->wait(); }, 20ms, [] {}, 20ms),
                  BoundedWorker::Outcome::GivenUp);
        EXPECT_TRUE(worker.givenUp());
        bool ran = false;
        EXPECT_EQ(worker.run([&] { ran = true; }, 10s, {}, 1s), BoundedWorker::Outcome::GivenUp);
        EXPECT_FALSE(ran);
    } // the destructor must not wait for the stuck call
    gate->release();
}
