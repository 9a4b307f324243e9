#include "core/dispatch/Semaphore.h"

#include <algorithm>

namespace quorix::dispatch {

Semaphore::Semaphore(Clock& clock, int initial) : clock_(clock), count_(initial) {}

void Semaphore::signal() {
    std::lock_guard g(mutex_);
    ++count_;
    // Under the mutex: a waiter may destroy the semaphore as soon as it
    // returns, so the notify must not happen after the unlock.
    cv_.notify_one();
}

bool Semaphore::wait(Duration timeout) {
    std::unique_lock lk(mutex_);
    const Instant deadline = addSaturating(clock_.now(), std::max(timeout, Duration::zero()));
    if (!clock_.waitUntil(lk, cv_, deadline, [&] { return count_ > 0; })) {
        return false;
    }
    --count_;
    return true;
}

void Semaphore::wait() {
    std::unique_lock lk(mutex_);
    cv_.wait(lk, [&] { return count_ > 0; });
    --count_;
}

}  // namespace quorix::dispatch
