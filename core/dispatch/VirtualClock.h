#pragma once
// Virtual time for tests and the simulated desktop. Time only moves when a
// thread sleeps or when advance() is called; timed waits and delayed work wake
// exactly when virtual time reaches their deadline. No real time passes.
//
// sleepFor(d) advances virtual time by d from the sleeper's point of view: the
// sleeping thread returns once now() >= start + d. With autoAdvance on (the
// default), a sleep moves the clock forward itself; with it off, the sleeper
// waits until another thread calls advance().
//
// waitUntil() never moves time: it returns when pred() holds after a normal
// notify, or when another thread moves time to the deadline.
//
// Waking a waiter locks the mutex it passed to waitUntil() (that is how no
// wake-up is lost). Hence: never call advance()/advanceTo()/sleepFor() while
// holding a mutex that some thread passes to waitUntil() on this clock.
//
// The clock must outlive the queues, timers and semaphores that use it.
//
// Stepping in tests: `clock.advance(d); queue.drain();` runs what became due;
// `while (clock.advanceToNextDeadline()) queue.drain();` walks every event.
// Delayed work is announced to the clock when submitted, so nextDeadline()
// sees it at once; threads blocked in timed waits are seen once they block
// (awaitWaiters() waits for that).

#include <cstddef>
#include <memory>
#include <optional>

#include "core/dispatch/Clock.h"

namespace quorix::dispatch {

class VirtualClock final : public Clock {
  public:
    explicit VirtualClock(WallTime wallOrigin = WallTime{std::chrono::hours(24 * 365 * 56)},
                          bool autoAdvance = true);

    Instant now() const override;
    WallTime wallNow() const override;
    void sleepFor(Duration d) override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   Instant deadline, const std::function<bool()>& pred) override;
    DeadlineToken registerDeadline(Instant due) override;
    void unregisterDeadline(DeadlineToken token) override;

    // Moves time forward by d, waking every waiter whose deadline passed.
    void advance(Duration d);
    // Moves time forward to t (no-op when t is in the past).
    void advanceTo(Instant t);
    // Earliest deadline after now() that any thread waits for (timed waits,
    // sleeps without autoAdvance, delayed work announced by queues), if any.
    std::optional<Instant> nextDeadline() const;
    // advanceTo(*nextDeadline()); false (and no change) when there is none.
    bool advanceToNextDeadline();
    void setAutoAdvance(bool on);
    bool autoAdvance() const;

    // Test helpers. Number of threads currently blocked in waitUntil() or in a
    // sleep without autoAdvance.
    std::size_t waiterCount() const;
    // Blocks (in real time, at most realTimeout) until at least n threads are
    // blocked in waitUntil()/sleepFor(); returns whether that happened.
    bool awaitWaiters(std::size_t n,
                      std::chrono::milliseconds realTimeout = std::chrono::seconds(30)) const;

    ~VirtualClock() override;

  private:
    void moveTime(const std::function<Instant(Instant)>& target);

    // Implementation-defined state (guarded by one mutex).
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quorix::dispatch
