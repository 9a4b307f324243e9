#pragma once
// A queue driven by its owner: closures run only when the owner calls
// runPending()/runUntilIdle()/runOne(), on the owner's thread. Tests use it as
// the main queue. Delayed closures become due according to the queue's clock
// (a VirtualClock in tests). Submitting is safe from any thread; running is
// meant for one thread at a time. The destructor drops what is still pending.

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>

#include "core/dispatch/Queue.h"

namespace quorix::dispatch {

class ManualQueue final : public Queue {
  public:
    explicit ManualQueue(Clock& clock = RealClock::instance());
    ~ManualQueue() override;
    ManualQueue(const ManualQueue&) = delete;
    ManualQueue& operator=(const ManualQueue&) = delete;

    void async(std::function<void()> fn) override;
    void asyncAfter(Duration delay, std::function<void()> fn) override;
    using Queue::async;
    using Queue::asyncAfter;

    // Runs the closures that are due now and were queued before the call, in
    // order (due time, then submission); returns how many ran.
    std::size_t runPending();
    // Runs due closures, including the ones they queue, until none is due;
    // returns how many ran.
    std::size_t runUntilIdle();
    // Runs the first due closure; false when none is due.
    bool runOne();

    // Closures queued and not yet run, due or not.
    std::size_t pendingCount() const;
    bool hasDue() const;
    // Due time of the earliest queued closure.
    std::optional<Instant> nextDue() const;
    // Blocks in real time, at most realTimeout, until some closure is due
    // (e.g. posted by another thread); returns whether one is.
    bool waitForDue(std::chrono::milliseconds realTimeout);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorix::dispatch
