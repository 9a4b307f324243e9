#include "core/dispatch/ConcurrentQueue.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/dispatch/WorkList.h"

namespace quorix::dispatch {

struct ConcurrentQueue::Impl {
    Impl(std::string l, Clock& c) : label(std::move(l)), clock(c) {}

    std::string label;
    Clock& clock;
    mutable std::mutex mutex;
    std::condition_variable wake;  // workers: new work, stop, time (via clock)
    std::condition_variable idle;  // drain(): a closure finished
    detail::WorkList work;
    unsigned running = 0;
    bool stopping = false;
    std::vector<std::thread> workers;
    std::vector<std::thread::id> workerIds;

    bool idleLocked() const { return running == 0 && !work.hasDue(clock.now()); }

    void submit(detail::WorkEntry e) {
        std::unique_lock g(mutex);
        if (stopping) {
            g.unlock();
            std::vector<detail::WorkEntry> dropped;
            dropped.push_back(std::move(e));
            detail::discard(clock, dropped);
            return;
        }
        work.push(std::move(e));
        g.unlock();
        // Idle workers either wait for any work or for the current head's due
        // time; a new entry can concern any of them.
        wake.notify_all();
    }

    void run() {
        std::unique_lock lk(mutex);
        for (;;) {
            if (stopping) {
                break;
            }
            if (work.empty()) {
                wake.wait(lk, [&] { return stopping || !work.empty(); });
                continue;
            }
            if (!work.hasDue(clock.now())) {
                const Instant due = *work.headDue();
                clock.waitUntil(lk, wake, due,
                                [&] { return stopping || work.empty() || *work.headDue() != due; });
                continue;
            }
            std::optional<detail::WorkEntry> next = work.popHead();
            ++running;
            lk.unlock();
            if (next->token) {
                clock.unregisterDeadline(next->token);
            }
            next->fn();
            next.reset();  // destroy the closure outside the lock
            lk.lock();
            --running;
            idle.notify_all();
        }
    }
};

ConcurrentQueue::ConcurrentQueue(std::string label, Clock& clock, unsigned threads)
    : impl_(std::make_unique<Impl>(std::move(label), clock)) {
    threads = std::max(threads, 1U);
    std::lock_guard g(impl_->mutex);  // publishes workerIds before workers read them
    for (unsigned i = 0; i < threads; ++i) {
        impl_->workers.emplace_back([impl = impl_.get()] { impl->run(); });
        impl_->workerIds.push_back(impl_->workers.back().get_id());
    }
}

ConcurrentQueue::~ConcurrentQueue() {
    shutdown();
}

void ConcurrentQueue::shutdown() {
    {
        std::lock_guard g(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->wake.notify_all();
    for (auto& t : impl_->workers) {
        if (t.joinable()) {
            t.join();
        }
    }
    std::vector<detail::WorkEntry> rest;
    {
        std::lock_guard g(impl_->mutex);
        rest = impl_->work.takeAll();
    }
    detail::discard(impl_->clock, rest);
}

void ConcurrentQueue::async(std::function<void()> fn) {
    impl_->submit(detail::WorkList::make(impl_->clock, Duration::zero(), std::move(fn)));
}

void ConcurrentQueue::asyncAfter(Duration delay, std::function<void()> fn) {
    impl_->submit(detail::WorkList::make(impl_->clock, delay, std::move(fn)));
}

void ConcurrentQueue::drain() {
    if (isCurrent()) {
        return;  // would wait for itself
    }
    std::unique_lock lk(impl_->mutex);
    impl_->idle.wait(lk, [&] { return impl_->idleLocked(); });
}

bool ConcurrentQueue::idle() const {
    std::lock_guard g(impl_->mutex);
    return impl_->idleLocked();
}

bool ConcurrentQueue::isCurrent() const {
    std::lock_guard g(impl_->mutex);
    const auto& ids = impl_->workerIds;
    return std::find(ids.begin(), ids.end(), std::this_thread::get_id()) != ids.end();
}

const std::string& ConcurrentQueue::label() const {
    return impl_->label;
}

}  // namespace quorix::dispatch
