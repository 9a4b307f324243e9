#pragma once
// Counting semaphore with a deadline measured on a Clock.

#include <condition_variable>
#include <mutex>

#include "core/dispatch/Clock.h"

namespace quorix::dispatch {

class Semaphore {
  public:
    explicit Semaphore(Clock& clock, int initial = 0);

    void signal();
    // Waits until a signal is available or `timeout` has passed on the clock.
    // Returns true on success (a unit taken), false on time-out.
    bool wait(Duration timeout);
    void wait();

  private:
    Clock& clock_;
    std::mutex mutex_;
    std::condition_variable cv_;
    int count_;
};

}  // namespace quorix::dispatch
