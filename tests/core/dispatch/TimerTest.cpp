// RepeatingTimer in virtual time.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
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
using testing::eventually;
using testing::Gate;

class FireTimes {
  public:
    explicit FireTimes(Clock& clock) : clock_(clock) {}
    void fire() {
        std::lock_guard g(m_);
        times_.push_back(clock_.now());
    }
    std::vector<Instant> times() const {
        std::lock_guard g(m_);
        return times_;
    }

  private:
    Clock& clock_;
    mutable std::mutex m_;
    std::vector<Instant> times_;
};

using Times = std::vector<Instant>;

TEST(RepeatingTimer, FirstDelayThenEveryInterval) {
    VirtualClock clock;
    ManualQueue q(clock);
    FireTimes fired(clock);
    RepeatingTimer timer(q, 5s, 3600s, [&] { fired.fire(); });

    clock.advance(5s - Duration(1));
    q.runUntilIdle();
    EXPECT_TRUE(fired.times().empty());
    clock.advance(Duration(1));
    q.runUntilIdle();
    EXPECT_EQ(fired.times(), Times{Instant(5s)});

    EXPECT_EQ(clock.nextDeadline(), Instant(3605s));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(clock.advanceToNextDeadline());
        q.runUntilIdle();
    }
    EXPECT_EQ(fired.times(), (Times{Instant(5s), Instant(3605s), Instant(7205s), Instant(10805s)}));
}

TEST(RepeatingTimer, OnASerialQueue) {
    VirtualClock clock;
    SerialQueue q("timer", clock);
    FireTimes fired(clock);
    RepeatingTimer timer(q, 1s, 2s, [&] { fired.fire(); });
    for (int i = 0; i < 7; ++i) {
        clock.advance(1s);
        q.drain();
    }
    EXPECT_EQ(fired.times(), (Times{Instant(1s), Instant(3s), Instant(5s), Instant(7s)}));
}

TEST(RepeatingTimer, CancelStopsFiringAndIsIdempotent) {
    VirtualClock clock;
    ManualQueue q(clock);
    FireTimes fired(clock);
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    RepeatingTimer timer(q, 1s, 1s, [&fired, token] { fired.fire(); });
    token.reset();
    clock.advance(1s);
    q.runUntilIdle();
    timer.cancel();
    EXPECT_TRUE(watch.expired());  // the handler is released at cancel
    timer.cancel();
    for (int i = 0; i < 5; ++i) {
        clock.advance(1s);
        q.runUntilIdle();
    }
    EXPECT_EQ(fired.times(), Times{Instant(1s)});
}

TEST(RepeatingTimer, CancelBeforeFirstFiring) {
    VirtualClock clock;
    ManualQueue q(clock);
    int fired = 0;
    RepeatingTimer timer(q, 1s, 1s, [&] { ++fired; });
    timer.cancel();
    clock.advance(10s);
    q.runUntilIdle();
    EXPECT_EQ(fired, 0);
}

TEST(RepeatingTimer, CancelFromItsOwnHandler) {
    VirtualClock clock;
    SerialQueue q("timer", clock);
    std::atomic<int> fired{0};
    std::unique_ptr<RepeatingTimer> timer;
    timer = std::make_unique<RepeatingTimer>(q, 1s, 1s, [&] {
        if (++fired == 3)
            timer->cancel();
    });
    for (int i = 0; i < 6; ++i) {
        clock.advance(1s);
        q.drain();
    }
    EXPECT_EQ(fired, 3);
}

TEST(RepeatingTimer, DestroyedFromItsOwnHandler) {
    VirtualClock clock;
    SerialQueue q("timer", clock);
    std::atomic<int> fired{0};
    std::unique_ptr<RepeatingTimer> timer;
    timer = std::make_unique<RepeatingTimer>(q, 1s, 1s, [&] {
        ++fired;
        timer.reset();  // must not wait for itself
    });
    for (int i = 0; i < 3; ++i) {
        clock.advance(1s);
        q.drain();
    }
    EXPECT_EQ(fired, 1);
}

TEST(RepeatingTimer, DestructorCancelsAndWaitsForRunningHandler) {
    VirtualClock clock;
    SerialQueue q("timer", clock);
    Gate entered, release;
    std::atomic<bool> finished{false};
    std::atomic<int> fired{0};
    std::thread releaser;
    {
        RepeatingTimer timer(q, 1s, 1s, [&] {
            ++fired;
            entered.open();
            release.wait();
            finished = true;
        });
        clock.advance(1s);
        ASSERT_TRUE(entered.wait());
        releaser = std::thread([&] {
            std::this_thread::sleep_for(5ms);
            release.open();
        });
    }  // waits for the handler: the owner may go away right after
    EXPECT_TRUE(finished);
    releaser.join();
    clock.advance(10s);
    q.drain();
    EXPECT_EQ(fired, 1);
}

TEST(RepeatingTimer, CancelWhileRunningLetsItFinishAndStartsNoMore) {
    VirtualClock clock;
    SerialQueue q("timer", clock);
    Gate entered, release;
    std::atomic<int> fired{0};
    RepeatingTimer timer(q, 1s, 1s, [&] {
        if (++fired == 1) {
            entered.open();
            release.wait();
        }
    });
    clock.advance(1s);
    ASSERT_TRUE(entered.wait());
    timer.cancel();  // returns while the handler still runs
    release.open();
    for (int i = 0; i < 5; ++i) {
        clock.advance(1s);
        q.drain();
    }
    EXPECT_EQ(fired, 1);
}

TEST(RepeatingTimer, SlowHandlerDoesNotStackFirings) {
    // The handler takes 5 s of (virtual) time, the interval is 1 s: missed
    // firings are skipped, the next one starts right after the slow one.
    VirtualClock clock;
    SerialQueue q("timer", clock);
    FireTimes fired(clock);
    std::atomic<int> runs{0};
    std::unique_ptr<RepeatingTimer> timer;
    timer = std::make_unique<RepeatingTimer>(q, 1s, 1s, [&] {
        fired.fire();
        clock.sleepFor(5s);  // autoAdvance: moves time itself
        if (++runs == 3)
            timer->cancel();
    });
    clock.advance(1s);
    ASSERT_TRUE(eventually([&] { return runs == 3; }));
    q.drain();
    EXPECT_EQ(fired.times(), (Times{Instant(1s), Instant(6s), Instant(11s)}));
}

TEST(RepeatingTimer, NoOverlapOnAConcurrentQueue) {
    VirtualClock clock;
    ConcurrentQueue q("pool", clock, 2);
    Gate entered, release;
    std::atomic<int> starts{0};
    std::atomic<int> active{0};
    std::atomic<int> maxActive{0};
    RepeatingTimer timer(q, 1s, 1s, [&] {
        const int n = ++active;
        maxActive = std::max(maxActive.load(), n);
        if (++starts == 1) {
            entered.open();
            release.wait();
        }
        --active;
    });
    clock.advance(1s);
    ASSERT_TRUE(entered.wait());
    // Several intervals pass while the first run is blocked; each due firing
    // is skipped and schedules the next one.
    for (int i = 2; i <= 5; ++i) {
        clock.advance(1s);
        const Instant expect = Instant(std::chrono::seconds(i + 1));
        ASSERT_TRUE(eventually([&] { return clock.nextDeadline() == expect; }));
    }
    EXPECT_EQ(starts, 1);
    release.open();
    ASSERT_TRUE(eventually([&] { return active == 0; }));
    q.drain();
    EXPECT_EQ(starts, 1);
    clock.advance(1s);
    q.drain();
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(maxActive, 1);
}

}  // namespace
}  // namespace quorix::dispatch
