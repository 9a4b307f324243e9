#pragma once
// A point in time on an injectable clock after which bounded work gives up.
// A default-constructed deadline never passes. Cheap to copy; the clock must
// outlive it.

#include "core/dispatch/Clock.h"

namespace quorix::dispatch {

class Deadline {
  public:
    Deadline() = default;
    Deadline(const Clock& clock, Duration fromNow) : clock_(&clock), at_(clock.now() + fromNow) {}

    bool passed() const { return clock_ != nullptr && clock_->now() > at_; }

    // Moves the deadline later by `by` (time that does not count against it).
    void extend(Duration by) { at_ += by; }

  private:
    const Clock* clock_ = nullptr;
    Instant at_{};
};

}  // namespace quorix::dispatch
