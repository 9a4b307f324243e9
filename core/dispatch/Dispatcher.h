#pragma once
// The queues of one running program, built by the composition root around one
// clock: the main queue (a port, supplied by the shell) and the global queues
// by quality of service.

#include <memory>

#include "core/dispatch/Clock.h"
#include "core/dispatch/Queue.h"

namespace quorix::dispatch {

enum class QoS { userInitiated, defaultQoS, utility };

class Dispatcher {
  public:
    // mainQueue: the platform's main queue; the Dispatcher does not own it.
    Dispatcher(Clock& clock, Queue& mainQueue);
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    Clock& clock() const;
    Queue& main() const;
    Queue& global(QoS qos) const;
    // Blocks until the global queues have nothing running or due (tests).
    void drainGlobal();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorix::dispatch
