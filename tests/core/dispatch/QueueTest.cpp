// SerialQueue, ConcurrentQueue, ManualQueue, WorkItem and Dispatcher, in
// virtual time.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DispatchTestUtil.h"
#include "core/dispatch/ConcurrentQueue.h"
#include "core/dispatch/Dispatcher.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/SerialQueue.h"
#include "core/dispatch/VirtualClock.h"
#include "core/dispatch/WorkItem.h"

namespace quorix::dispatch {
namespace {

using namespace std::chrono_literals;
using testing::Blocker;
using testing::eventually;
using testing::Gate;
using testing::tick;
using Log = testing::Record<std::string>;
using Items = std::vector<std::string>;

// -------------------------------------------------------------- SerialQueue

TEST(SerialQueue, DelayedWorkRunsByDueTimeThenSubmissionOrder) {
    VirtualClock clock;
    SerialQueue q("test", clock);
    Log log;
    q.asyncAfter(3s, [&] { log.add("c@3"); });
    q.asyncAfter(1s, [&] { log.add("a@1"); });
    q.asyncAfter(2s, [&] { log.add("b1@2"); });
    q.asyncAfter(2s, [&] { log.add("b2@2"); });
    q.async([&] { log.add("now"); });
    q.drain();
    EXPECT_EQ(log.items(), Items{"now"});

    // Nothing fires a nanosecond early.
    clock.advanceTo(Instant(1s) - Duration(1));
    q.drain();
    EXPECT_EQ(log.items(), Items{"now"});
    tick(clock, q, 1, Duration(1));
    EXPECT_EQ(log.items(), (Items{"now", "a@1"}));

    // One jump past several due times runs them in due order.
    tick(clock, q, 1, 5s);
    EXPECT_EQ(log.items(), (Items{"now", "a@1", "b1@2", "b2@2", "c@3"}));
}

TEST(SerialQueue, NextDeadlineStepsThroughDelayedWorkAndHugeDelayMeansNever) {
    VirtualClock clock;
    SerialQueue q("test", clock);
    testing::Record<Instant> firedAt;
    std::atomic<bool> never{false};
    q.asyncAfter(2s, [&] { firedAt.add(clock.now()); });
    q.asyncAfter(500ms, [&] { firedAt.add(clock.now()); });
    // Announced at submission, before the worker waits for it.
    EXPECT_EQ(clock.nextDeadline(), Instant(500ms));
    while (clock.advanceToNextDeadline())
        q.drain();
    q.drain();
    EXPECT_EQ(firedAt.items(), (std::vector<Instant>{Instant(500ms), Instant(2s)}));

    q.asyncAfter(Duration::max(), [&] { never = true; });
    q.async([] {});
    tick(clock, q, 1, std::chrono::hours(24 * 365 * 100));
    EXPECT_FALSE(never);
}

TEST(SerialQueue, RunsOneClosureAtATimeOnItsOwnThread) {
    VirtualClock clock;
    SerialQueue q("com.quorix.test", clock);
    EXPECT_FALSE(q.isCurrent());
    std::atomic<int> active{0};
    std::atomic<int> maxActive{0};
    std::atomic<int> onQueue{0};
    for (int i = 0; i < 200; ++i) {
        q.async([&] {
            const int n = ++active;
            maxActive = std::max(maxActive.load(), n);
            if (q.isCurrent())
                ++onQueue;
            --active;
        });
    }
    q.drain();
    EXPECT_EQ(maxActive, 1);
    EXPECT_EQ(onQueue, 200);
}

TEST(SerialQueue, ClosuresCanQueueMoreWork) {
    VirtualClock clock;
    SerialQueue q("test", clock);
    Log log;
    q.async([&] {
        log.add("first");
        q.async([&] { log.add("second"); });
        q.asyncAfter(1s, [&] { log.add("later"); });
    });
    q.drain();
    EXPECT_EQ(log.items(), (Items{"first", "second"}));
    tick(clock, q, 1, 1s);
    EXPECT_EQ(log.items(), (Items{"first", "second", "later"}));
}

TEST(SerialQueue, SyncRunsOnTheQueueAndPropagatesExceptions) {
    VirtualClock clock;
    SerialQueue q("test", clock);
    bool onQueue = false;
    q.sync([&] { onQueue = q.isCurrent(); });
    EXPECT_TRUE(onQueue);
    EXPECT_THROW(q.sync([] { throw std::runtime_error("boom"); }), std::runtime_error);
    // Nested sync from the queue itself runs in place instead of deadlocking.
    int nested = 0;
    q.sync([&] { q.sync([&] { nested = 1; }); });
    EXPECT_EQ(nested, 1);
}

TEST(SerialQueue, DestructorWaitsForTheRunningClosureAndRunsDueWork) {
    VirtualClock clock;
    Blocker blocker;
    Log log;
    std::jthread releaser;
    {
        SerialQueue q("test", clock);
        q.async([&] {
            blocker.block();
            log.add("running");
            // Submitted during destruction: dropped.
            q.async([&] { log.add("late"); });
        });
        q.async([&] { log.add("due"); });
        q.asyncAfter(1s, [&] { log.add("not due"); });
        ASSERT_TRUE(blocker.entered.wait());
        releaser = blocker.releaseSoon();
    }  // blocks until the running closure returns
    EXPECT_EQ(log.items(), (Items{"running", "due"}));
}

TEST(SerialQueue, DestroyedIdleAndWhileWaitingForDelayedWork) {
    VirtualClock clock;
    for (int i = 0; i < 50; ++i) {
        SerialQueue idle("idle", clock);
        SerialQueue waiting("waiting", clock);
        waiting.asyncAfter(1h, [] {});
    }
    EXPECT_EQ(clock.waiterCount(), 0U);
}

// ------------------------------------------------------------------ WorkItem

TEST(WorkItem, CancelledWhileRunningFinishes) {
    VirtualClock clock;
    SerialQueue q("test", clock);
    Blocker blocker;
    std::atomic<bool> finished{false};
    auto item = WorkItem::make([&] {
        blocker.block();
        finished = true;
    });
    q.async(item);
    ASSERT_TRUE(blocker.entered.wait());
    item->cancel();  // from another thread, mid-run
    blocker.release.open();
    q.drain();
    EXPECT_TRUE(finished);
    // Performing a cancelled item again does nothing.
    finished = false;
    item->perform();
    EXPECT_FALSE(finished);
}

TEST(WorkItem, CancelAndReplaceDebounce) {
    // The precheck pattern: each key cancels the pending item and schedules a
    // new one; only the last survives, also beside one cancelled at its due time.
    VirtualClock clock;
    SerialQueue q("com.quorix.precheck", clock);
    Log log;
    std::shared_ptr<WorkItem> pending;
    for (int i = 0; i < 5; ++i) {
        if (pending) {
            pending->cancel();
            pending->cancel();  // idempotent
        }
        pending = WorkItem::make([&log, i] { log.add(std::to_string(i)); });
        q.asyncAfter(450ms, pending);
        tick(clock, q, 1, 100ms);
    }
    auto sameTime = WorkItem::make([&] { log.add("cancelled"); });
    q.asyncAfter(350ms, sameTime);
    sameTime->cancel();
    EXPECT_TRUE(log.items().empty());
    tick(clock, q, 1, 350ms);
    EXPECT_EQ(log.items(), Items{"4"});
}

// ---------------------------------------------------------- ConcurrentQueue

TEST(ConcurrentQueue, RunsClosuresConcurrently) {
    VirtualClock clock;
    ConcurrentQueue q("pool", clock, 2);
    // Each closure waits for the other: only completes if both run at once.
    Gate a, b;
    std::atomic<int> done{0};
    q.async([&] {
        a.open();
        if (b.wait())
            ++done;
    });
    q.async([&] {
        b.open();
        if (a.wait())
            ++done;
    });
    q.drain();
    EXPECT_EQ(done, 2);
    EXPECT_TRUE(q.idle());
}

TEST(ConcurrentQueue, DelayedWorkFiresWhenVirtualTimeArrives) {
    VirtualClock clock;
    ConcurrentQueue q("pool", clock, 3);
    std::atomic<int> runs{0};
    for (int i = 1; i <= 3; ++i)
        q.asyncAfter(std::chrono::seconds(i), [&] { ++runs; });
    q.asyncAfter(2s, [&] { ++runs; });
    tick(clock, q, 1, 2s - Duration(1));
    EXPECT_EQ(runs, 1);
    tick(clock, q, 1, Duration(1));
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(clock.nextDeadline(), Instant(3s));
    clock.advanceToNextDeadline();
    q.drain();
    EXPECT_EQ(runs, 4);
}

TEST(ConcurrentQueue, ManySubmittersAllRun) {
    VirtualClock clock;
    ConcurrentQueue q("pool", clock, 4);
    std::atomic<int> runs{0};
    std::vector<std::thread> submitters;
    for (int t = 0; t < 4; ++t) {
        submitters.emplace_back([&] {
            for (int i = 0; i < 250; ++i)
                q.async([&] { ++runs; });
        });
    }
    for (auto& t : submitters)
        t.join();
    q.drain();
    EXPECT_EQ(runs, 1000);
    EXPECT_FALSE(q.isCurrent());
    bool inside = false;
    Gate done;
    q.async([&] {
        inside = q.isCurrent();
        q.drain();  // from a worker: returns instead of waiting for itself
        done.open();
    });
    ASSERT_TRUE(done.wait());
    q.drain();
    EXPECT_TRUE(inside);
}

TEST(ConcurrentQueue, DestructorDropsPendingWaitsForRunning) {
    VirtualClock clock;
    Blocker blocker;
    std::atomic<bool> finished{false};
    std::atomic<int> dropped{0};
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    std::jthread releaser;
    {
        ConcurrentQueue q("pool", clock, 1);
        q.async([&] {
            blocker.block();
            finished = true;
        });
        ASSERT_TRUE(blocker.entered.wait());
        q.async([&dropped, token] { ++dropped; });  // not started: dropped
        token.reset();
        releaser = blocker.releaseSoon();
    }
    EXPECT_TRUE(finished);
    EXPECT_EQ(dropped, 0);
    EXPECT_TRUE(watch.expired());
}

// Every queue kind drops delayed work when destroyed, releases what the
// closures hold and withdraws the deadline it announced.
TEST(Queues, DestructorDropsDelayedWorkAndReleasesIt) {
    VirtualClock clock;
    const std::vector<std::function<std::unique_ptr<Queue>()>> kinds = {
        [&] { return std::make_unique<SerialQueue>("serial", clock); },
        [&] { return std::make_unique<ConcurrentQueue>("pool", clock, 1); },
        [&] { return std::make_unique<ManualQueue>(clock); }};
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        auto token = std::make_shared<int>(0);
        std::weak_ptr<int> watch = token;
        std::atomic<bool> ran{false};
        auto q = kinds[k]();
        q->asyncAfter(1s, [&ran, token] { ran = true; });
        token.reset();
        EXPECT_FALSE(watch.expired()) << k;
        q.reset();
        EXPECT_TRUE(watch.expired()) << k;
        EXPECT_FALSE(clock.nextDeadline()) << k;
        clock.advance(5s);
        EXPECT_FALSE(ran) << k;
    }
}

TEST(ManualQueue, RunsOnlyWhenAskedOnTheCallersThread) {
    VirtualClock clock;
    ManualQueue q(clock);
    Log log;
    const auto self = std::this_thread::get_id();
    std::atomic<bool> sameThread{true};
    q.async([&] {
        log.add("a");
        if (std::this_thread::get_id() != self)
            sameThread = false;
        q.async([&] { log.add("queued by a"); });
    });
    q.asyncAfter(1s, [&] { log.add("delayed"); });
    q.async([&] { log.add("b"); });
    EXPECT_EQ(q.pendingCount(), 3U);
    EXPECT_TRUE(log.items().empty());

    EXPECT_EQ(q.runPending(), 2U);  // not what a queued meanwhile
    EXPECT_EQ(log.items(), (Items{"a", "b"}));
    EXPECT_EQ(q.runUntilIdle(), 1U);
    EXPECT_EQ(log.items(), (Items{"a", "b", "queued by a"}));
    EXPECT_FALSE(q.hasDue());
    EXPECT_EQ(q.nextDue(), Instant(1s));
    EXPECT_EQ(clock.nextDeadline(), Instant(1s));
    EXPECT_EQ(q.runUntilIdle(), 0U);

    clock.advance(1s);
    EXPECT_TRUE(q.hasDue());
    EXPECT_TRUE(q.runOne());
    EXPECT_FALSE(q.runOne());
    EXPECT_EQ(log.items().back(), "delayed");
    EXPECT_TRUE(sameThread);
    EXPECT_EQ(q.pendingCount(), 0U);
}

TEST(ManualQueue, WaitForDueSeesWorkPostedFromOtherThreads) {
    VirtualClock clock;
    ManualQueue q(clock);
    const auto safety = std::chrono::duration_cast<std::chrono::milliseconds>(testing::kSafety);
    EXPECT_FALSE(q.waitForDue(1ms));
    std::thread poster([&] { q.async([] {}); });
    EXPECT_TRUE(q.waitForDue(safety));
    poster.join();
    EXPECT_EQ(q.runUntilIdle(), 1U);

    // Delayed work becomes due when another thread moves virtual time.
    q.asyncAfter(2s, [] {});
    std::thread advancer([&] { clock.advance(2s); });
    EXPECT_TRUE(q.waitForDue(safety));
    advancer.join();
    EXPECT_EQ(q.runUntilIdle(), 1U);
}

TEST(Dispatcher, DrainGlobalFollowsWorkAcrossQueues) {
    VirtualClock clock;
    ManualQueue mainQueue(clock);
    Dispatcher d(clock, mainQueue);
    // One queue per quality of service, the same one on every call.
    EXPECT_NE(&d.global(QoS::userInitiated), &d.global(QoS::defaultQoS));
    EXPECT_NE(&d.global(QoS::defaultQoS), &d.global(QoS::utility));
    EXPECT_EQ(&d.global(QoS::utility), &d.global(QoS::utility));
    Log log;
    d.global(QoS::userInitiated).async([&] {
        log.add("pipeline");
        d.global(QoS::utility).async([&] {
            log.add("learning");
            d.global(QoS::defaultQoS).async([&] { log.add("restore"); });
        });
        d.main().async([&] { log.add("main"); });
    });
    d.global(QoS::defaultQoS).asyncAfter(600ms, [&] { log.add("clipboard"); });
    d.drainGlobal();
    EXPECT_EQ(log.items(), (Items{"pipeline", "learning", "restore"}));
    EXPECT_EQ(mainQueue.runUntilIdle(), 1U);
    clock.advance(600ms);
    d.drainGlobal();
    EXPECT_EQ(log.items().size(), 5U);
}

TEST(Dispatcher, DestroyedWithWorkInFlightAcrossQueues) {
    VirtualClock clock;
    ManualQueue mainQueue(clock);
    std::atomic<int> posted{0};
    for (int i = 0; i < 20; ++i) {
        Dispatcher d(clock, mainQueue);
        // Keeps bouncing work between the queues while they shut down.
        auto* dp = &d;
        auto hop = std::make_shared<std::function<void(int)>>();
        *hop = [dp, &posted, weak = std::weak_ptr(hop)](int n) {
            auto self = weak.lock();
            if (!self)
                return;
            ++posted;
            const QoS next[] = {QoS::userInitiated, QoS::defaultQoS, QoS::utility};
            dp->global(next[n % 3]).async([self, n] { (*self)(n + 1); });
        };
        (*hop)(0);
        (*hop)(1);
        std::this_thread::yield();
        // d is destroyed here while closures keep hopping; hop itself is kept
        // alive by the queued closures until they are dropped.
    }
    EXPECT_GT(posted, 0);
}

}  // namespace
}  // namespace quorix::dispatch
