// Semaphore with deadlines in virtual time.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "DispatchTestUtil.h"
#include "core/dispatch/Semaphore.h"
#include "core/dispatch/VirtualClock.h"

namespace quorix::dispatch {
namespace {

using namespace std::chrono_literals;
using testing::Outcome;

TEST(Semaphore, TimesOutExactlyAtTheDeadline) {
    VirtualClock clock;
    clock.advance(7s);
    Semaphore sem(clock);
    Outcome waiter([&] { return sem.wait(5s); });
    ASSERT_TRUE(clock.awaitWaiters(1));
    EXPECT_EQ(clock.nextDeadline(), Instant(12s));
    clock.advance(5s - Duration(1));
    EXPECT_EQ(waiter.result(), -1);
    clock.advance(Duration(1));
    waiter.join();
    EXPECT_EQ(waiter.result(), 0);
    EXPECT_EQ(clock.now(), Instant(12s));
}

TEST(Semaphore, SucceedsWhenSignalledFromAnotherThread) {
    VirtualClock clock;
    Semaphore sem(clock);
    Outcome waiter([&] { return sem.wait(5s); });
    ASSERT_TRUE(clock.awaitWaiters(1));
    std::thread([&] { sem.signal(); }).join();
    waiter.join();
    EXPECT_EQ(waiter.result(), 1);
    EXPECT_EQ(clock.now(), Instant(0));  // no time passed
    // The unit was taken: the next wait times out at once with a zero timeout.
    EXPECT_FALSE(sem.wait(0s));
}

TEST(Semaphore, CountsSignalsOnVirtualAndRealClocks) {
    VirtualClock clock;
    Semaphore sem(clock, 1);
    sem.signal();
    EXPECT_TRUE(sem.wait(0s));
    EXPECT_TRUE(sem.wait(1s));
    EXPECT_FALSE(sem.wait(0s));
    EXPECT_FALSE(sem.wait(-1s));
    EXPECT_EQ(clock.now(), Instant(0));

    Semaphore real(RealClock::instance());
    EXPECT_FALSE(real.wait(1ms));
    real.signal();
    EXPECT_TRUE(real.wait(1h));
}

TEST(Semaphore, UntimedWaitAndManyWaiters) {
    VirtualClock clock;
    Semaphore sem(clock);
    constexpr int kWaiters = 4;
    std::atomic<int> ok{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < kWaiters; ++i) {
        waiters.emplace_back([&, i] {
            if (i % 2 == 0) {
                sem.wait();
                ++ok;
            } else if (sem.wait(1h)) {
                ++ok;
            }
        });
    }
    for (int i = 0; i < kWaiters; ++i)
        sem.signal();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(ok, kWaiters);
}

TEST(Semaphore, HugeTimeoutWaitsForTheSignal) {
    VirtualClock clock;
    clock.advance(1s);
    Semaphore sem(clock);
    Outcome waiter([&] { return sem.wait(Duration::max()); });
    ASSERT_TRUE(clock.awaitWaiters(1));
    clock.advance(std::chrono::hours(24 * 365 * 100));
    EXPECT_EQ(waiter.result(), -1);
    sem.signal();
    waiter.join();
    EXPECT_EQ(waiter.result(), 1);
}

// The waiter destroys the semaphore as soon as its wait returns, while the
// advancing thread may still be notifying it.
TEST(Semaphore, DestroyedRightAfterTimeout) {
    VirtualClock clock(WallTime{}, /*autoAdvance=*/false);
    std::atomic<bool> stop{false};
    std::thread advancer([&] {
        while (!stop) {
            clock.advance(Duration(1));
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 300; ++i) {
        auto sem = std::make_unique<Semaphore>(clock);
        EXPECT_FALSE(sem->wait(Duration(2)));
    }
    stop = true;
    advancer.join();
}

}  // namespace
}  // namespace quorix::dispatch
