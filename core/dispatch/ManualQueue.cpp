#include "core/dispatch/ManualQueue.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "core/dispatch/WorkList.h"

namespace quorix::dispatch {

struct ManualQueue::Impl {
    explicit Impl(Clock& c) : clock(c) {}

    Clock& clock;
    mutable std::mutex mutex;
    std::condition_variable posted;
    detail::WorkList work;

    void submit(detail::WorkEntry e) {
        {
            std::lock_guard g(mutex);
            work.push(std::move(e));
        }
        posted.notify_all();
    }

    // Pops the first due entry with seq < seqLimit and runs it outside the lock.
    bool runFirst(std::uint64_t seqLimit) {
        std::optional<detail::WorkEntry> next;
        {
            std::lock_guard g(mutex);
            const Instant now = clock.now();
            next = work.popFirstIf(
                [&](const detail::WorkEntry& e) { return e.due <= now && e.seq < seqLimit; });
            if (!next) {
                return false;
            }
        }
        if (next->token) {
            clock.unregisterDeadline(next->token);
        }
        next->fn();
        return true;
    }
};

ManualQueue::ManualQueue(Clock& clock) : impl_(std::make_unique<Impl>(clock)) {}

ManualQueue::~ManualQueue() {
    std::vector<detail::WorkEntry> rest;
    {
        std::lock_guard g(impl_->mutex);
        rest = impl_->work.takeAll();
    }
    detail::discard(impl_->clock, rest);
}

void ManualQueue::async(std::function<void()> fn) {
    impl_->submit(detail::WorkList::make(impl_->clock, Duration::zero(), std::move(fn)));
}

void ManualQueue::asyncAfter(Duration delay, std::function<void()> fn) {
    impl_->submit(detail::WorkList::make(impl_->clock, delay, std::move(fn)));
}

std::size_t ManualQueue::runPending() {
    std::uint64_t limit;
    {
        std::lock_guard g(impl_->mutex);
        limit = impl_->work.nextSeq();
    }
    std::size_t n = 0;
    while (impl_->runFirst(limit)) {
        ++n;
    }
    return n;
}

std::size_t ManualQueue::runUntilIdle() {
    std::size_t n = 0;
    while (runOne()) {
        ++n;
    }
    return n;
}

bool ManualQueue::runOne() {
    return impl_->runFirst(UINT64_MAX);
}

std::size_t ManualQueue::pendingCount() const {
    std::lock_guard g(impl_->mutex);
    return impl_->work.size();
}

bool ManualQueue::hasDue() const {
    std::lock_guard g(impl_->mutex);
    return impl_->work.hasDue(impl_->clock.now());
}

std::optional<Instant> ManualQueue::nextDue() const {
    std::lock_guard g(impl_->mutex);
    return impl_->work.headDue();
}

bool ManualQueue::waitForDue(std::chrono::milliseconds realTimeout) {
    using Steady = std::chrono::steady_clock;
    const auto limit = Steady::now() + realTimeout;
    std::unique_lock lk(impl_->mutex);
    while (!impl_->work.hasDue(impl_->clock.now())) {
        const auto now = Steady::now();
        if (now >= limit) {
            return false;
        }
        if (impl_->work.empty()) {
            impl_->posted.wait_until(lk, limit);
        } else {
            // Delayed work becomes due when the clock moves, which nobody
            // signals to this queue: look again shortly.
            impl_->posted.wait_until(lk, std::min(limit, now + std::chrono::milliseconds(1)));
        }
    }
    return true;
}

}  // namespace quorix::dispatch
