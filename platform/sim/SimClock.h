#pragma once
// The desktop's clock: a dispatch::VirtualClock whose sleeps are journalled
// ("sleep 25ms"). Timed waits and deadline bookkeeping pass straight through;
// only sleepFor() is an observable action of the program.

#include "core/dispatch/VirtualClock.h"
#include "platform/sim/SimJournal.h"

namespace quorix::platform {

class SimClock final : public dispatch::Clock {
  public:
    // Both must outlive the clock.
    SimClock(dispatch::VirtualClock& time, SimJournal& journal);

    dispatch::Instant now() const override;
    dispatch::WallTime wallNow() const override;
    // Journals the sleep (at its start), then sleeps in virtual time.
    void sleepFor(dispatch::Duration d) override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   dispatch::Instant deadline, const std::function<bool()>& pred) override;
    DeadlineToken registerDeadline(dispatch::Instant due) override;
    void unregisterDeadline(DeadlineToken token) override;

    dispatch::VirtualClock& virtualClock() const { return time_; }

  private:
    dispatch::VirtualClock& time_;
    SimJournal& journal_;
};

}  // namespace quorix::platform
