#include "core/dispatch/SerialQueue.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "core/dispatch/WorkList.h"

namespace quorix::dispatch {

struct SerialQueue::Impl {
    Impl(std::string l, Clock& c) : label(std::move(l)), clock(c) {}

    std::string label;
    Clock& clock;
    std::mutex mutex;
    std::condition_variable wake;  // the worker: new head, stop, time (via clock)
    std::condition_variable idle;  // drain() and sync(): a closure finished
    detail::WorkList work;
    bool running = false;
    bool stopping = false;
    Instant stopNow{0};
    std::uint64_t stopSeq = 0;
    std::thread worker;
    std::thread::id workerId;

    void submit(detail::WorkEntry e) {
        std::unique_lock g(mutex);
        if (stopping) {  // shutting down: not accepted
            g.unlock();
            std::vector<detail::WorkEntry> dropped;
            dropped.push_back(std::move(e));
            detail::discard(clock, dropped);
            return;
        }
        const bool newHead = work.push(std::move(e));
        g.unlock();
        if (newHead) {
            wake.notify_all();
        }
    }

    void run() {
        std::unique_lock lk(mutex);
        for (;;) {
            std::optional<detail::WorkEntry> next;
            if (stopping) {
                next = work.popFirstIf([&](const detail::WorkEntry& e) {
                    return e.seq < stopSeq && e.due <= stopNow;
                });
                if (!next) {
                    break;
                }
            } else if (work.empty()) {
                wake.wait(lk, [&] { return stopping || !work.empty(); });
                continue;
            } else if (!work.hasDue(clock.now())) {
                const Instant due = *work.headDue();
                clock.waitUntil(lk, wake, due, [&] { return stopping || *work.headDue() < due; });
                continue;
            } else {
                next = work.popHead();
            }
            running = true;
            lk.unlock();
            if (next->token) {
                clock.unregisterDeadline(next->token);
            }
            next->fn();
            next.reset();  // destroy the closure outside the lock
            lk.lock();
            running = false;
            idle.notify_all();
        }
        auto rest = work.takeAll();
        lk.unlock();
        detail::discard(clock, rest);
    }
};

SerialQueue::SerialQueue(std::string label, Clock& clock)
    : impl_(std::make_unique<Impl>(std::move(label), clock)) {
    std::lock_guard g(impl_->mutex);  // publishes workerId before anyone reads it
    impl_->worker = std::thread([impl = impl_.get()] { impl->run(); });
    impl_->workerId = impl_->worker.get_id();
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard g(impl_->mutex);
        impl_->stopping = true;
        impl_->stopNow = impl_->clock.now();
        impl_->stopSeq = impl_->work.nextSeq();
    }
    impl_->wake.notify_all();
    impl_->worker.join();
}

void SerialQueue::async(std::function<void()> fn) {
    impl_->submit(detail::WorkList::make(impl_->clock, Duration::zero(), std::move(fn)));
}

void SerialQueue::asyncAfter(Duration delay, std::function<void()> fn) {
    impl_->submit(detail::WorkList::make(impl_->clock, delay, std::move(fn)));
}

void SerialQueue::sync(const std::function<void()>& fn) {
    if (isCurrent()) {  // would deadlock: run in place
        fn();
        return;
    }
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::exception_ptr error;
    async([&] {
        try {
            fn();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard g(m);
        done = true;
        cv.notify_all();
    });
    std::unique_lock lk(m);
    cv.wait(lk, [&] { return done; });
    if (error) {
        std::rethrow_exception(error);
    }
}

void SerialQueue::drain() {
    if (isCurrent()) {
        return;
    }
    std::unique_lock lk(impl_->mutex);
    impl_->idle.wait(lk,
                     [&] { return !impl_->running && !impl_->work.hasDue(impl_->clock.now()); });
}

const std::string& SerialQueue::label() const {
    return impl_->label;
}

bool SerialQueue::isCurrent() const {
    std::lock_guard g(impl_->mutex);
    return std::this_thread::get_id() == impl_->workerId;
}

}  // namespace quorix::dispatch
