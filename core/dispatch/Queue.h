#pragma once
// Abstract dispatch queue: runs closures asynchronously, now or after a delay
// measured on the queue's Clock. Implementations: SerialQueue (one worker, FIFO
// by due time then submission order), ConcurrentQueue (a thread pool; the
// global queues), and the main queue port.

#include <functional>
#include <memory>

#include "core/dispatch/Clock.h"
#include "core/dispatch/WorkItem.h"

namespace quorix::dispatch {

class Queue {
  public:
    virtual ~Queue() = default;
    virtual void async(std::function<void()> fn) = 0;
    // Runs fn once the queue's clock has advanced by delay from now.
    virtual void asyncAfter(Duration delay, std::function<void()> fn) = 0;
    void asyncAfter(Duration delay, const std::shared_ptr<WorkItem>& item) {
        asyncAfter(delay, [item] { item->perform(); });
    }
    void async(const std::shared_ptr<WorkItem>& item) {
        async([item] { item->perform(); });
    }
};

}  // namespace quorix::dispatch
