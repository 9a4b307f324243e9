#pragma once
// A repeating timer: fires `handler` on `queue` first after `initialDelay`,
// then every `interval`, until cancelled or destroyed. Times follow the queue's
// clock. cancel() is idempotent; after it returns no new firing starts.

#include <functional>
#include <memory>

#include "core/dispatch/Clock.h"
#include "core/dispatch/Queue.h"

namespace quorix::dispatch {

class RepeatingTimer {
  public:
    RepeatingTimer(Queue& queue, Duration initialDelay, Duration interval,
                   std::function<void()> handler);
    ~RepeatingTimer();
    RepeatingTimer(const RepeatingTimer&) = delete;
    RepeatingTimer& operator=(const RepeatingTimer&) = delete;

    void cancel();

  private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace quorix::dispatch
