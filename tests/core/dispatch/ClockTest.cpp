// RealClock and VirtualClock: time movement, sleeps, timed waits.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "DispatchTestUtil.h"
#include "core/dispatch/Clock.h"
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

// ---------------------------------------------------------------- RealClock

TEST(RealClock, NowIsMonotonicAndSleepAdvancesIt) {
    RealClock& clock = RealClock::instance();
    const Instant a = clock.now();
    clock.sleepFor(1ms);
    EXPECT_GE(clock.now() - a, Duration(1ms));
    const auto wall = clock.wallNow();
    EXPECT_LT(std::chrono::abs(wall - std::chrono::system_clock::now()), 5s);
}

// A passed deadline returns the predicate at once; the lock is held again on
// return; no waiter stays registered.
TEST(Clocks, WaitUntilPastOrShortDeadlineReturnsThePredicate) {
    RealClock real;
    VirtualClock virt;
    virt.advance(5s);
    std::mutex m;
    std::condition_variable cv;
    std::unique_lock lk(m);
    for (Clock* clock : {static_cast<Clock*>(&real), static_cast<Clock*>(&virt)}) {
        EXPECT_FALSE(clock->waitUntil(lk, cv, clock->now(), [] { return false; }));
        EXPECT_FALSE(clock->waitUntil(lk, cv, Instant::min(), [] { return false; }));
        EXPECT_TRUE(clock->waitUntil(lk, cv, clock->now() + 1h, [] { return true; }));
        EXPECT_TRUE(lk.owns_lock());
    }
    EXPECT_FALSE(real.waitUntil(lk, cv, real.now() + 2ms, [] { return false; }));
    EXPECT_EQ(virt.waiterCount(), 0U);
}

TEST(VirtualClock, StartsAtZeroAndMovesOnlyForwardAndSaturates) {
    const WallTime origin{std::chrono::hours(1000)};
    VirtualClock clock(origin);
    EXPECT_EQ(clock.now(), Instant(0));
    EXPECT_EQ(clock.wallNow(), origin);
    clock.advance(1500ms);
    EXPECT_EQ(clock.now(), Instant(1500ms));
    EXPECT_EQ(clock.wallNow(), origin + 1500ms);
    clock.advanceTo(Instant(1s));  // the past: no-op
    clock.advance(-1s);
    EXPECT_EQ(clock.now(), Instant(1500ms));
    clock.advanceTo(Instant(2s));
    EXPECT_EQ(clock.now(), Instant(2s));
    // With autoAdvance a sleep moves time itself; zero or negative sleeps don't.
    clock.sleepFor(3s);
    clock.sleepFor(0s);
    clock.sleepFor(-1s);
    EXPECT_EQ(clock.now(), Instant(5s));

    EXPECT_EQ(addSaturating(Instant(5s), Duration::max()), Instant::max());
    EXPECT_EQ(addSaturating(Instant(-5s), Duration::min()), Instant::min());
    EXPECT_EQ(addSaturating(Instant(5s), -2s), Instant(3s));
    clock.advance(Duration::max());
    EXPECT_EQ(clock.now(), Instant::max());
}

TEST(VirtualClock, ConcurrentAdvancesAddUp) {
    VirtualClock clock;
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&] {
            for (int r = 0; r < 250; ++r)
                clock.advance(1ms);
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(clock.now(), Instant(1s));
}

TEST(VirtualClock, SleepWithAutoAdvanceWakesDueWaiters) {
    VirtualClock clock;
    Waiter waiter(clock, Instant(2s), [] { return false; });
    ASSERT_TRUE(clock.awaitWaiters(1));
    clock.sleepFor(5s);  // passes the waiter's deadline
    waiter.outcome.join();
    EXPECT_EQ(waiter.outcome.result(), 0);
    EXPECT_EQ(clock.now(), Instant(5s));
}

TEST(VirtualClock, ConcurrentAutoAdvanceSleepersEndAtTheLatestDeadline) {
    VirtualClock clock;
    std::vector<std::thread> sleepers;
    for (int i = 1; i <= 4; ++i) {
        sleepers.emplace_back([&clock, i] {
            const Instant start = clock.now();
            clock.sleepFor(std::chrono::seconds(i));
            EXPECT_GE(clock.now(), start + std::chrono::seconds(i));
        });
    }
    for (auto& t : sleepers)
        t.join();
    EXPECT_GE(clock.now(), Instant(4s));
    EXPECT_LE(clock.now(), Instant(10s));
}

TEST(VirtualClock, SleepWithoutAutoAdvanceWaitsForSomeoneToAdvance) {
    VirtualClock clock(WallTime{}, /*autoAdvance=*/false);
    EXPECT_FALSE(clock.autoAdvance());
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

    clock.setAutoAdvance(true);
    clock.sleepFor(1s);
    EXPECT_EQ(clock.now(), Instant(4s));
}

// A notify with the predicate true ends a wait long before its deadline (the
// real clock's far deadline must not overflow); virtual time does not move.
TEST(Clocks, WaitUntilWakesOnNotify) {
    RealClock real;
    bool flag = false;
    Waiter realWaiter(real, Instant::max(), [&] { return flag; });
    realWaiter.notify(&flag);
    realWaiter.outcome.join();
    EXPECT_EQ(realWaiter.outcome.result(), 1);

    VirtualClock clock;
    bool ready = false;
    Waiter waiter(clock, Instant(10s), [&] { return ready; });
    ASSERT_TRUE(clock.awaitWaiters(1));
    waiter.notify(&ready);
    waiter.outcome.join();
    EXPECT_EQ(waiter.outcome.result(), 1);
    EXPECT_EQ(clock.now(), Instant(0));
    EXPECT_EQ(clock.waiterCount(), 0U);
}

TEST(VirtualClock, WaitUntilTimesOutExactlyAtTheDeadline) {
    VirtualClock clock;
    Waiter waiter(clock, Instant(10s), [] { return false; });
    ASSERT_TRUE(clock.awaitWaiters(1));
    EXPECT_EQ(clock.nextDeadline(), Instant(10s));
    // A notify with the predicate still false does not end the wait.
    waiter.notify();
    clock.advanceTo(Instant(10s) - Duration(1));
    EXPECT_EQ(waiter.outcome.result(), -1);
    ASSERT_TRUE(eventually([&] { return clock.waiterCount() == 1; }));
    EXPECT_TRUE(clock.advanceToNextDeadline());
    waiter.outcome.join();
    EXPECT_EQ(waiter.outcome.result(), 0);
    EXPECT_EQ(clock.now(), Instant(10s));
    EXPECT_FALSE(clock.advanceToNextDeadline());
}

TEST(VirtualClock, NextDeadlineSeesAnnouncedDeadlinesAfterNow) {
    VirtualClock clock;
    EXPECT_FALSE(clock.nextDeadline());
    const auto a = clock.registerDeadline(Instant(3s));
    const auto b = clock.registerDeadline(Instant(1s));
    EXPECT_EQ(clock.nextDeadline(), Instant(1s));
    clock.advance(1s);  // 1 s is not after now any more
    EXPECT_EQ(clock.nextDeadline(), Instant(3s));
    clock.unregisterDeadline(a);
    clock.unregisterDeadline(b);
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
                if (!ok)
                    ++timeouts;
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
        while (done < kThreads)
            clock.sleepFor(Duration(2));
        sleeperDone = true;
    });
    for (auto& t : threads)
        t.join();
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

}  // namespace
}  // namespace quorix::dispatch
