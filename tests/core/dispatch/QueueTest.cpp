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
    std::atomic<bool> never{false};
    q.asyncAfter(3s, [&] { log.add("c@3"); });
    q.asyncAfter(1s, [&] { log.add("a@1"); });
    q.asyncAfter(2s, [&] { log.add("b1@2"); });
    q.asyncAfter(2s, [&] { log.add("b2@2"); });
    q.asyncAfter(Duration::max(), [&] { never = true; });
    // A closure may queue more work on its own queue.
    q.async([&] {
        log.add("now");
        q.async([&] { log.add("queued"); });
    });
    // Announced at submission, before the worker waits for it.
    EXPECT_EQ(clock.nextDeadline(), Instant(1s));
    q.drain();
    EXPECT_EQ(log.items(), (Items{"now", "queued"}));

    // Nothing fires a nanosecond early.
    clock.advanceTo(Instant(1s) - Duration(1));
    q.drain();
    EXPECT_EQ(log.items().size(), 2U);
    tick(clock, q, 1, Duration(1));
    EXPECT_EQ(log.items().back(), "a@1");

    // One jump past several due times runs them in due order; a huge delay
    // means never.
    tick(clock, q, 1, std::chrono::hours(24 * 365 * 100));
    EXPECT_EQ(log.items(), (Items{"now", "queued", "a@1", "b1@2", "b2@2", "c@3"}));
    EXPECT_FALSE(never);
}

TEST(SerialQueue, RunsOneClosureAtATimeOnItsOwnThread) {
    VirtualClock clock;
    SerialQueue q("com.quorix.test", clock);
    EXPECT_FALSE(q.isCurrent());
    std::atomic<int> active{0}, maxActive{0}, onQueue{0};
    for (int i = 0; i < 200; ++i) {
        q.async([&] {
            maxActive = std::max(maxActive.load(), ++active);
            onQueue += q.isCurrent();
            --active;
        });
    }
    q.drain();
    EXPECT_EQ(maxActive, 1);
    EXPECT_EQ(onQueue, 200);

    // sync runs on the queue, propagates exceptions, and nested from the
    // queue itself runs in place instead of deadlocking.
    bool nested = false;
    q.sync([&] { q.sync([&] { nested = q.isCurrent(); }); });
    EXPECT_TRUE(nested);
    EXPECT_THROW(q.sync([] { throw std::runtime_error("boom"); }), std::runtime_error);
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

// ------------------------------------------------------------------ WorkItem

TEST(WorkItem, CancelAndReplaceDebounceAndCancelWhileRunning) {
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

    // Cancelled mid-run from another thread: the run finishes; performing it
    // again does nothing.
    Blocker blocker;
    std::atomic<int> runs{0};
    auto item = WorkItem::make([&] {
        if (++runs == 1) {
            blocker.block();
        }
    });
    q.async(item);
    ASSERT_TRUE(blocker.entered.wait());
    item->cancel();
    blocker.release.open();
    q.drain();
    item->perform();
    EXPECT_EQ(runs, 1);
}

// ---------------------------------------------------------- ConcurrentQueue

TEST(ConcurrentQueue, RunsClosuresConcurrentlyFromManySubmitters) {
    VirtualClock clock;
    ConcurrentQueue q("pool", clock, 4);
    // Each closure waits for the other: only completes if both run at once.
    Gate a, b;
    std::atomic<int> runs{0};
    q.async([&] {
        a.open();
        if (b.wait()) {
            ++runs;
        }
    });
    q.async([&] {
        b.open();
        if (a.wait()) {
            ++runs;
        }
    });
    std::vector<std::thread> submitters;
    for (int t = 0; t < 4; ++t) {
        submitters.emplace_back([&] {
            for (int i = 0; i < 250; ++i) {
                q.async([&] { ++runs; });
            }
        });
    }
    for (auto& t : submitters) {
        t.join();
    }
    q.drain();
    EXPECT_EQ(runs, 1002);
    EXPECT_TRUE(q.idle());
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

// Every queue kind, destroyed idle or waiting for delayed work (repeatedly, to
// catch a worker just going to sleep), drops that work, releases what the
// closures hold and withdraws the deadline it announced.
TEST(Queues, DestructorDropsDelayedWorkAndReleasesIt) {
    VirtualClock clock;
    const std::vector<std::function<std::unique_ptr<Queue>()>> kinds = {
        [&] { return std::make_unique<SerialQueue>("serial", clock); },
        [&] { return std::make_unique<ConcurrentQueue>("pool", clock, 1); },
        [&] { return std::make_unique<ManualQueue>(clock); }};
    for (int round = 0; round < 20; ++round) {
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            kinds[k]();  // idle
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
            EXPECT_EQ(clock.waiterCount(), 0U) << k;
            clock.advance(5s);
            EXPECT_FALSE(ran) << k;
        }
    }
}

TEST(ManualQueue, RunsOnlyWhenAsked) {
    VirtualClock clock;
    ManualQueue q(clock);
    Log log;
    q.async([&] {
        log.add("a");
        q.async([&] { log.add("queued by a"); });
    });
    q.asyncAfter(1s, [&] { log.add("delayed"); });
    q.async([&] { log.add("b"); });
    EXPECT_TRUE(log.items().empty());
    EXPECT_EQ(q.runPending(), 2U);  // not what a queued meanwhile
    EXPECT_EQ(q.runUntilIdle(), 1U);
    EXPECT_EQ(log.items(), (Items{"a", "b", "queued by a"}));
    EXPECT_EQ(q.nextDue(), Instant(1s));
    clock.advance(1s);
    EXPECT_TRUE(q.runOne());
    EXPECT_FALSE(q.runOne());
    EXPECT_EQ(log.items().back(), "delayed");
}

TEST(Dispatcher, DrainGlobalFollowsWorkAcrossQueues) {
    VirtualClock clock;
    ManualQueue mainQueue(clock);
    Dispatcher d(clock, mainQueue);
    EXPECT_NE(&d.global(QoS::userInitiated), &d.global(QoS::utility));
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
            if (!self) {
                return;
            }
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
