// RepeatingTimer in virtual time.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "DispatchTestUtil.h"
#include "core/dispatch/ConcurrentQueue.h"
#include "core/dispatch/ManualQueue.h"
#include "core/dispatch/RepeatingTimer.h"
#include "core/dispatch/SerialQueue.h"
#include "core/dispatch/VirtualClock.h"

namespace quorix::dispatch {
namespace {

using namespace std::chrono_literals;
using testing::Blocker;
using testing::eventually;
using testing::Record;
using testing::tick;
using Times = std::vector<Instant>;

TEST(RepeatingTimer, FirstDelayThenEveryIntervalUntilCancelled) {
    VirtualClock clock;
    ManualQueue q(clock);
    Record<Instant> fired;
    std::atomic<int> neverFired{0};
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    RepeatingTimer timer(q, 5s, 3600s, [&fired, &clock, token] { fired.add(clock.now()); });
    RepeatingTimer early(q, 1s, 1s, [&] { ++neverFired; });
    early.cancel();  // before its first firing
    token.reset();
    tick(clock, q, 1, 5s - Duration(1));
    EXPECT_TRUE(fired.items().empty());
    tick(clock, q, 1, Duration(1));
    EXPECT_EQ(clock.nextDeadline(), Instant(3605s));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(clock.advanceToNextDeadline());
        q.runUntilIdle();
    }
    EXPECT_EQ(fired.items(), (Times{Instant(5s), Instant(3605s), Instant(7205s)}));
    // Cancel releases the handler and is idempotent.
    timer.cancel();
    EXPECT_TRUE(watch.expired());
    timer.cancel();
    tick(clock, q, 1, 10000s);
    EXPECT_EQ(fired.items().size(), 3U);
    EXPECT_EQ(neverFired, 0);
}

TEST(RepeatingTimer, CancelledOrDestroyedFromItsOwnHandler) {
    VirtualClock clock;
    SerialQueue q("timer", clock);
    std::atomic<int> cancelled{0}, destroyed{0};
    std::unique_ptr<RepeatingTimer> a, b;
    a = std::make_unique<RepeatingTimer>(q, 1s, 1s, [&] {
        if (++cancelled == 3) {
            a->cancel();
        }
    });
    b = std::make_unique<RepeatingTimer>(q, 1s, 1s, [&] {
        ++destroyed;
        b.reset();  // must not wait for itself
    });
    tick(clock, q, 6);
    EXPECT_EQ(cancelled, 3);
    EXPECT_EQ(destroyed, 1);
}

// cancel() returns while the handler runs; the destructor waits for it, so
// the owner may go away right after.
TEST(RepeatingTimer, CancelWhileRunningReturnsDestructorWaits) {
    VirtualClock clock;
    SerialQueue q("timer", clock);
    Blocker blocker;
    std::atomic<bool> finished{false};
    std::atomic<int> fired{0};
    std::jthread releaser;
    {
        RepeatingTimer timer(q, 1s, 1s, [&] {
            ++fired;
            blocker.block();
            finished = true;
        });
        clock.advance(1s);
        ASSERT_TRUE(blocker.entered.wait());
        timer.cancel();
        releaser = blocker.releaseSoon();
    }
    EXPECT_TRUE(finished);
    tick(clock, q, 5);
    EXPECT_EQ(fired, 1);
}

TEST(RepeatingTimer, SlowHandlerDoesNotStackFirings) {
    // The handler takes 5 s of (virtual) time, the interval is 1 s: missed
    // firings are skipped, the next one starts right after the slow one.
    VirtualClock clock;
    SerialQueue q("timer", clock);
    Record<Instant> fired;
    std::atomic<int> runs{0};
    std::unique_ptr<RepeatingTimer> timer;
    timer = std::make_unique<RepeatingTimer>(q, 1s, 1s, [&] {
        fired.add(clock.now());
        clock.sleepFor(5s);  // autoAdvance: moves time itself
        if (++runs == 3) {
            timer->cancel();
        }
    });
    clock.advance(1s);
    ASSERT_TRUE(eventually([&] { return runs == 3; }));
    q.drain();
    EXPECT_EQ(fired.items(), (Times{Instant(1s), Instant(6s), Instant(11s)}));
}

TEST(RepeatingTimer, NoOverlapOnAConcurrentQueue) {
    VirtualClock clock;
    ConcurrentQueue q("pool", clock, 2);
    Blocker blocker;
    std::atomic<int> starts{0}, active{0}, maxActive{0};
    RepeatingTimer timer(q, 1s, 1s, [&] {
        const int n = ++active;
        maxActive = std::max(maxActive.load(), n);
        if (++starts == 1) {
            blocker.block();
        }
        --active;
    });
    clock.advance(1s);
    ASSERT_TRUE(blocker.entered.wait());
    // Several intervals pass while the first run is blocked; each due firing
    // is skipped and schedules the next one.
    for (int i = 2; i <= 5; ++i) {
        clock.advance(1s);
        const Instant expect = Instant(std::chrono::seconds(i + 1));
        ASSERT_TRUE(eventually([&] { return clock.nextDeadline() == expect; }));
    }
    EXPECT_EQ(starts, 1);
    blocker.release.open();
    ASSERT_TRUE(eventually([&] { return active == 0; }));
    q.drain();
    EXPECT_EQ(starts, 1);
    tick(clock, q, 1);
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(maxActive, 1);
}

}  // namespace
}  // namespace quorix::dispatch
