#pragma once
// A pool of worker threads running closures concurrently; the stand-in for the
// global queues. Delayed closures are started when the clock reaches their due
// time. The destructor drops work not yet started and joins the workers.

#include <memory>
#include <string>

#include "core/dispatch/Queue.h"

namespace quorix::dispatch {

class ConcurrentQueue final : public Queue {
  public:
    ConcurrentQueue(std::string label, Clock& clock, unsigned threads);
    ~ConcurrentQueue() override;
    ConcurrentQueue(const ConcurrentQueue&) = delete;
    ConcurrentQueue& operator=(const ConcurrentQueue&) = delete;

    void async(std::function<void()> fn) override;
    void asyncAfter(Duration delay, std::function<void()> fn) override;
    using Queue::async;
    using Queue::asyncAfter;

    // Blocks until no closure is running or due (tests). Not from a worker.
    void drain();
    // True when no closure is running or due.
    bool idle() const;
    // True when called from one of the queue's workers.
    bool isCurrent() const;
    const std::string& label() const;
    // Stops accepting work (later submissions are dropped), drops work not
    // started, waits for running closures and joins the workers. Idempotent;
    // the destructor calls it. Not from a worker.
    void shutdown();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorix::dispatch
