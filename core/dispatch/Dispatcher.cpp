#include "core/dispatch/Dispatcher.h"

#include "core/dispatch/ConcurrentQueue.h"

namespace quorix::dispatch {

struct Dispatcher::Impl {
    Impl(Clock& c, Queue& m)
        : clock(c),
          mainQueue(m),
          userInitiated("com.quorix.global.userInitiated", c, kThreads),
          defaultQoS("com.quorix.global.default", c, kThreads),
          utility("com.quorix.global.utility", c, kThreads) {}

    static constexpr unsigned kThreads = 2;
    Clock& clock;
    Queue& mainQueue;
    ConcurrentQueue userInitiated;
    ConcurrentQueue defaultQoS;
    ConcurrentQueue utility;
};

Dispatcher::Dispatcher(Clock& clock, Queue& mainQueue)
    : impl_(std::make_unique<Impl>(clock, mainQueue)) {}

Dispatcher::~Dispatcher() {
    // Shut the queues down one by one while all of them still exist: a closure
    // still running on one may post to another (dropped once it is stopped).
    impl_->userInitiated.shutdown();
    impl_->defaultQoS.shutdown();
    impl_->utility.shutdown();
}

Clock& Dispatcher::clock() const {
    return impl_->clock;
}

Queue& Dispatcher::main() const {
    return impl_->mainQueue;
}

Queue& Dispatcher::global(QoS qos) const {
    switch (qos) {
        case QoS::userInitiated:
            return impl_->userInitiated;
        case QoS::utility:
            return impl_->utility;
        case QoS::defaultQoS:
            break;
    }
    return impl_->defaultQoS;
}

void Dispatcher::drainGlobal() {
    // Work on one queue may post to another: repeat until all are idle at once.
    ConcurrentQueue* queues[] = {&impl_->userInitiated, &impl_->defaultQoS, &impl_->utility};
    for (;;) {
        for (auto* q : queues) {
            q->drain();
        }
        bool allIdle = true;
        for (auto* q : queues) {
            allIdle = allIdle && q->idle();
        }
        if (allIdle) {
            return;
        }
    }
}

}  // namespace quorix::dispatch
