// RealClock, VirtualClock and Semaphore: time movement, sleeps, timed waits.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "DispatchTestUtil.h"
#include "core/dispatch/Clock.h"
#include "core/dispatch/Semaphore.h"
#include "core/dispatch/VirtualClock.h"

namespace quorix::dispatch {
namespace {

using namespace std::chrono_literals;
using testing::eventually;
using testing::Outcome;

// A wait on its own thread with its own mutex and condition variable.
struct Waiter {
    Waiter(Clock& clock, Instant deadline, std::function<bool()> pred)
        : outcome([this, &clock, deadline, pred] {
              std::unique_lock lk(m);
              return clock.waitUntil(lk, cv, deadline, pred);
          }) {}
    void notify(bool* flag = nullptr) {
        if (flag) {
            std::lock_guard g(m);
            *flag = true;
        }
        cv.notify_all();
    }
    std::mutex m;
    std::condition_variable cv;
    Outcome outcome;  // last: starts once m and cv exist
};

// A passed deadline returns the predicate at once with the lock held again.
// A notify ends a wait only with the predicate true (the real clock's far
// deadline must not overflow); otherwise it times out exactly at its deadline.
TEST(Clocks, WaitUntilEndsOnNotifyOrExactlyAtTheDeadline) {
    RealClock real;
    VirtualClock clock;
    {
        std::mutex m;
        std::condition_variable cv;
        std::unique_lock lk(m);
        for (Clock* c : {static_cast<Clock*>(&real), static_cast<Clock*>(&clock)}) {
            EXPECT_FALSE(c->waitUntil(lk, cv, c->now(), [] { return false; }));
            EXPECT_FALSE(c->waitUntil(lk, cv, Instant::min(), [] { return false; }));
            EXPECT_TRUE(c->waitUntil(lk, cv, c->now() + 1h, [] { return true; }));
            EXPECT_TRUE(lk.owns_lock());
        }
        EXPECT_FALSE(real.waitUntil(lk, cv, real.now() + 2ms, [] { return false; }));
    }
    bool flag = false;
    Waiter realWaiter(real, Instant::max(), [&] { return flag; });
    realWaiter.notify(&flag);
    realWaiter.outcome.join();
    EXPECT_EQ(realWaiter.outcome.result(), 1);

    bool ready = false;
    Waiter notified(clock, Instant(10s), [&] { return ready; });
    ASSERT_TRUE(clock.awaitWaiters(1));
    notified.notify(&ready);
    notified.outcome.join();
    EXPECT_EQ(notified.outcome.result(), 1);
    EXPECT_EQ(clock.now(), Instant(0));

    Waiter waiter(clock, Instant(10s), [] { return false; });
    ASSERT_TRUE(clock.awaitWaiters(1));
    EXPECT_EQ(clock.nextDeadline(), Instant(10s));
    waiter.notify();
    clock.advanceTo(Instant(10s) - Duration(1));
    EXPECT_EQ(waiter.outcome.result(), -1);
    ASSERT_TRUE(eventually([&] { return clock.waiterCount() == 1; }));
    EXPECT_TRUE(clock.advanceToNextDeadline());
    waiter.outcome.join();
    EXPECT_EQ(waiter.outcome.result(), 0);
    EXPECT_EQ(clock.now(), Instant(10s));
    EXPECT_EQ(clock.waiterCount(), 0U);
    EXPECT_FALSE(clock.advanceToNextDeadline());
}

TEST(VirtualClock, MovesOnlyForwardAddsUpAndSaturates) {
    const WallTime origin{std::chrono::hours(1000)};
    VirtualClock clock(origin);
    clock.advance(1500ms);
    EXPECT_EQ(clock.wallNow(), origin + 1500ms);
    clock.advanceTo(Instant(1s));  // the past: no-op
    clock.advance(-1s);
    EXPECT_EQ(clock.now(), Instant(1500ms));
    // With autoAdvance a sleep moves time itself; negative sleeps don't.
    clock.sleepFor(3s);
    clock.sleepFor(-1s);
    EXPECT_EQ(clock.now(), Instant(4500ms));
    EXPECT_EQ(addSaturating(Instant(5s), Duration::max()), Instant::max());
    EXPECT_EQ(addSaturating(Instant(-5s), Duration::min()), Instant::min());

    // Concurrent advances add up.
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int r = 0; r < 250; ++r) {
                clock.advance(1ms);
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(clock.now(), Instant(5500ms));
    clock.advance(Duration::max());
    EXPECT_EQ(clock.now(), Instant::max());
}

// Concurrent sleepers move time themselves and wake a waiter whose deadline
// they pass.
TEST(VirtualClock, AutoAdvanceSleepersWakeDueWaitersAndEndAtTheLatestDeadline) {
    VirtualClock clock;
    Waiter waiter(clock, Instant(2s), [] { return false; });
    ASSERT_TRUE(clock.awaitWaiters(1));
    std::vector<std::thread> sleepers;
    for (int i = 1; i <= 4; ++i) {
        sleepers.emplace_back([&clock, i] {
            const Instant start = clock.now();
            clock.sleepFor(std::chrono::seconds(i));
            EXPECT_GE(clock.now(), start + std::chrono::seconds(i));
        });
    }
    for (auto& t : sleepers) {
        t.join();
    }
    waiter.outcome.join();
    EXPECT_EQ(waiter.outcome.result(), 0);
    EXPECT_GE(clock.now(), Instant(4s));
    EXPECT_LE(clock.now(), Instant(10s));
}

TEST(VirtualClock, SleepWithoutAutoAdvanceWaitsForSomeoneToAdvance) {
    VirtualClock clock(WallTime{}, /*autoAdvance=*/false);
    std::atomic<bool> woke{false};
    std::thread sleeper([&] {
        clock.sleepFor(3s);
        woke = true;
    });
    ASSERT_TRUE(clock.awaitWaiters(1));
    EXPECT_EQ(clock.nextDeadline(), Instant(3s));
    clock.advance(2s);
    // The sleeper is still registered: it has not been released.
    EXPECT_EQ(clock.waiterCount(), 1U);
    EXPECT_FALSE(woke);
    clock.advance(1s);
    sleeper.join();
    EXPECT_TRUE(woke);
    EXPECT_EQ(clock.now(), Instant(3s));
    EXPECT_EQ(clock.waiterCount(), 0U);
    EXPECT_FALSE(clock.nextDeadline());
}

// Many short-lived waiters (each with its own mutex and cv, destroyed as soon
// as the wait returns) against a thread that keeps advancing time and a thread
// that keeps notifying: catches lost wake-ups (hang), use-after-free (ASan)
// and races (TSan) in the waiter bookkeeping.
TEST(VirtualClock, StressWaitersAdvancersAndNotifiers) {
    VirtualClock clock(WallTime{}, /*autoAdvance=*/false);
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    std::atomic<int> done{0};
    std::atomic<int> timeouts{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            for (int r = 0; r < kRounds; ++r) {
                auto m = std::make_unique<std::mutex>();
                auto cv = std::make_unique<std::condition_variable>();
                std::unique_lock lk(*m);
                const bool ok = clock.waitUntil(lk, *cv, clock.now() + Duration(1 + (r + i) % 3),
                                                [] { return false; });
                if (!ok) {
                    ++timeouts;
                }
                lk.unlock();
            }
            ++done;
        });
    }
    std::thread advancer([&] {
        while (done < kThreads) {
            clock.advance(Duration(1));
            std::this_thread::yield();
        }
    });
    // A sleeper without autoAdvance, woken by the advancer too.
    std::atomic<bool> sleeperDone{false};
    std::thread sleeper([&] {
        while (done < kThreads) {
            clock.sleepFor(Duration(2));
        }
        sleeperDone = true;
    });
    for (auto& t : threads) {
        t.join();
    }
    advancer.join();
    // The sleeper may be waiting for a deadline nobody advances to any more.
    while (!sleeperDone) {
        clock.advance(Duration(10));
        std::this_thread::yield();
    }
    sleeper.join();
    EXPECT_EQ(timeouts, kThreads * kRounds);
    EXPECT_EQ(clock.waiterCount(), 0U);
}

// ---------------------------------------------------------------- Semaphore

TEST(Semaphore, TimesOutAtItsDeadlineOrTakesASignal) {
    VirtualClock clock;
    clock.advance(7s);
    Semaphore sem(clock, 1);
    sem.signal();
    EXPECT_TRUE(sem.wait(0s));
    EXPECT_TRUE(sem.wait(1s));
    EXPECT_FALSE(sem.wait(-1s));
    EXPECT_EQ(clock.now(), Instant(7s));

    Outcome timedOut([&] { return sem.wait(5s); });
    ASSERT_TRUE(clock.awaitWaiters(1));
    EXPECT_EQ(clock.nextDeadline(), Instant(12s));
    clock.advance(5s - Duration(1));
    EXPECT_EQ(timedOut.result(), -1);
    clock.advance(Duration(1));
    timedOut.join();
    EXPECT_EQ(timedOut.result(), 0);

    // A huge timeout does not overflow: the wait lasts until the signal.
    Outcome signalled([&] { return sem.wait(Duration::max()); });
    ASSERT_TRUE(clock.awaitWaiters(1));
    clock.advance(std::chrono::hours(24 * 365 * 100));
    EXPECT_EQ(signalled.result(), -1);
    std::thread([&] { sem.signal(); }).join();
    signalled.join();
    EXPECT_EQ(signalled.result(), 1);
    EXPECT_FALSE(sem.wait(0s));  // the unit was taken

    Semaphore real(RealClock::instance());
    EXPECT_FALSE(real.wait(1ms));
    real.signal();
    EXPECT_TRUE(real.wait(1h));
}

TEST(Semaphore, UntimedAndTimedWaitersAllGetASignal) {
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
    for (int i = 0; i < kWaiters; ++i) {
        sem.signal();
    }
    for (auto& t : waiters) {
        t.join();
    }
    EXPECT_EQ(ok, kWaiters);
}

}  // namespace
}  // namespace quorix::dispatch
