#pragma once
// A serial queue with its own worker thread: one closure at a time, in order of
// due time, ties in submission order. Delays use the injected clock, so a
// VirtualClock makes delayed work fire exactly when virtual time reaches it.
// The destructor drops work not yet due, waits for the running closure and
// joins the worker; it must not be called from the worker itself. (Closures
// already due when the destructor starts still run, in order, before the join;
// closures submitted after that are dropped.)
//
// A SerialQueue also serves as the headless main queue (a run-loop thread):
// build it as SerialQueue("com.quorix.main", clock) and use isCurrent() to
// tell the main thread.

#include <memory>
#include <string>

#include "core/dispatch/Queue.h"

namespace quorix::dispatch {

class SerialQueue final : public Queue {
  public:
    SerialQueue(std::string label, Clock& clock);
    ~SerialQueue() override;
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    void async(std::function<void()> fn) override;
    void asyncAfter(Duration delay, std::function<void()> fn) override;
    using Queue::async;
    using Queue::asyncAfter;

    // Runs fn on the queue and waits for it (must not be called from the queue).
    void sync(const std::function<void()>& fn);
    // Blocks until every closure already due has run (tests).
    void drain();
    const std::string& label() const;
    // True when called from the queue's worker thread.
    bool isCurrent() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorix::dispatch
