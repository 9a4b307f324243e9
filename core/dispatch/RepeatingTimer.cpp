#include "core/dispatch/RepeatingTimer.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace quorix::dispatch {

// Shared with the closures waiting on the queue, so that a firing that
// outlives the timer object finds valid (cancelled) state.
struct RepeatingTimer::State : std::enable_shared_from_this<State> {
    State(Queue& q, Duration i, std::function<void()> h)
        : queue(q), interval(i), handler(std::move(h)) {}

    Queue& queue;
    const Duration interval;
    std::mutex mutex;
    std::condition_variable finished;
    std::function<void()> handler;  // released at cancel (or when the last run ends)
    bool cancelled = false;
    bool running = false;
    std::thread::id runner;

    void schedule(Duration delay) {
        queue.asyncAfter(delay, [self = shared_from_this()] { self->fire(); });
    }

    void fire() {
        bool skip;
        {
            std::lock_guard g(mutex);
            if (cancelled) {
                return;
            }
            // A handler still running (concurrent queue, slow handler): skip
            // this firing rather than stacking a second run.
            skip = running;
            if (!skip) {
                running = true;
                runner = std::this_thread::get_id();
            }
        }
        // The next firing is scheduled before the handler runs, so a slow
        // handler does not shift the cadence; at most one firing is pending.
        if (interval > Duration::zero()) {
            schedule(interval);
        }
        if (skip) {
            return;
        }
        handler();
        std::function<void()> doomed;
        {
            std::lock_guard g(mutex);
            running = false;
            runner = {};
            if (cancelled) {
                doomed = std::move(handler);
            }
            finished.notify_all();
        }
    }
};

RepeatingTimer::RepeatingTimer(Queue& queue, Duration initialDelay, Duration interval,
                               std::function<void()> handler)
    : state_(std::make_shared<State>(queue, interval, std::move(handler))) {
    state_->schedule(initialDelay);
}

RepeatingTimer::~RepeatingTimer() {
    cancel();
    // Wait for a handler run in progress (it may use the timer's owner), unless
    // the timer is being destroyed from its own handler.
    std::unique_lock lk(state_->mutex);
    state_->finished.wait(
        lk, [&] { return !state_->running || state_->runner == std::this_thread::get_id(); });
}

void RepeatingTimer::cancel() {
    std::function<void()> doomed;  // destroyed outside the lock
    std::lock_guard g(state_->mutex);
    if (state_->cancelled) {
        return;
    }
    state_->cancelled = true;
    if (!state_->running) {
        doomed = std::move(state_->handler);
    }
}

}  // namespace quorix::dispatch
