#include "core/dispatch/VirtualClock.h"

#include <algorithm>
#include <map>
#include <vector>

namespace quorix::dispatch {

namespace {

// One thread blocked in waitUntil(). `mutex`/`cv` are the caller's; they stay
// valid while the waiter is registered and while `inFlight` > 0 (an advancing
// thread is about to lock `mutex` and notify `cv`).
struct Waiter {
    Instant deadline;
    std::mutex* mutex;
    std::condition_variable* cv;
    int inFlight = 0;
};

}  // namespace

struct VirtualClock::State {
    WallTime wallOrigin;
    mutable std::mutex mutex;  // guards everything below
    // Signalled when a notification finished (inFlight decreased) and when a
    // waiter registers (awaitWaiters).
    mutable std::condition_variable changed;
    Instant now{0};
    bool autoAdvance = true;
    std::vector<Waiter*> waiters;
    std::map<DeadlineToken, Instant> deadlines;
    DeadlineToken nextToken = 1;
};

VirtualClock::VirtualClock(WallTime wallOrigin, bool autoAdvance)
    : state_(std::make_unique<State>()) {
    state_->wallOrigin = wallOrigin;
    state_->autoAdvance = autoAdvance;
}

VirtualClock::~VirtualClock() = default;

Instant VirtualClock::now() const {
    std::lock_guard g(state_->mutex);
    return state_->now;
}

WallTime VirtualClock::wallNow() const {
    return state_->wallOrigin + std::chrono::duration_cast<WallTime::duration>(now());
}

void VirtualClock::sleepFor(Duration d) {
    if (d <= Duration::zero()) {
        return;
    }
    Instant deadline;
    bool autoAdv;
    {
        std::lock_guard g(state_->mutex);
        deadline = addSaturating(state_->now, d);
        autoAdv = state_->autoAdvance;
    }
    if (autoAdv) {
        advanceTo(deadline);
        return;
    }
    std::mutex m;
    std::condition_variable cv;
    std::unique_lock lock(m);
    waitUntil(lock, cv, deadline, [] { return false; });
}

bool VirtualClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                             Instant deadline, const std::function<bool()>& pred) {
    State& s = *state_;
    Waiter w{deadline, lock.mutex(), &cv};
    for (;;) {
        // Invariant here: `lock` is held and `w` is not registered, with no
        // notification in flight, so returning is safe.
        if (pred()) {
            return true;
        }
        {
            std::lock_guard g(s.mutex);  // order: caller's mutex, then clock's
            if (s.now >= deadline) {
                return false;
            }
            s.waiters.push_back(&w);
        }
        s.changed.notify_all();
        cv.wait(lock);
        // Deregister. An advancing thread may have picked `w` and be about to
        // lock the caller's mutex: let it through before touching the
        // mutex/cv again or leaving (they may be destroyed after we return).
        std::unique_lock g(s.mutex);
        s.waiters.erase(std::find(s.waiters.begin(), s.waiters.end(), &w));
        if (w.inFlight > 0) {
            lock.unlock();
            s.changed.wait(g, [&] { return w.inFlight == 0; });
            g.unlock();
            lock.lock();
        }
    }
}

void VirtualClock::advance(Duration d) {
    if (d <= Duration::zero()) {
        return;
    }
    // Computed under the lock: concurrent advance() calls add up.
    moveTime([d](Instant now) { return addSaturating(now, d); });
}

void VirtualClock::advanceTo(Instant t) {
    moveTime([t](Instant) { return t; });
}

void VirtualClock::moveTime(const std::function<Instant(Instant)>& target) {
    State& s = *state_;
    std::vector<Waiter*> due;
    {
        std::lock_guard g(s.mutex);
        const Instant t = target(s.now);
        if (t <= s.now) {
            return;
        }
        s.now = t;
        for (Waiter* w : s.waiters) {
            if (w->deadline <= t) {
                ++w->inFlight;
                due.push_back(w);
            }
        }
    }
    // Notify under each waiter's own mutex (no lost wake-up: a registered
    // waiter holds its mutex until it blocks in cv.wait), without holding the
    // clock's mutex (waiters take their mutex first, then the clock's).
    for (Waiter* w : due) {
        std::lock_guard g(*w->mutex);
        w->cv->notify_all();
    }
    if (due.empty()) {
        return;
    }
    {
        std::lock_guard g(s.mutex);
        for (Waiter* w : due) {
            --w->inFlight;
        }
    }
    s.changed.notify_all();
}

Clock::DeadlineToken VirtualClock::registerDeadline(Instant due) {
    std::lock_guard g(state_->mutex);
    const DeadlineToken token = state_->nextToken++;
    state_->deadlines.emplace(token, due);
    return token;
}

void VirtualClock::unregisterDeadline(DeadlineToken token) {
    std::lock_guard g(state_->mutex);
    state_->deadlines.erase(token);
}

std::optional<Instant> VirtualClock::nextDeadline() const {
    const State& s = *state_;
    std::lock_guard g(s.mutex);
    std::optional<Instant> best;
    auto consider = [&](Instant d) {
        if (d > s.now && (!best || d < *best)) {
            best = d;
        }
    };
    for (const Waiter* w : s.waiters) {
        consider(w->deadline);
    }
    for (const auto& [token, due] : s.deadlines) {
        consider(due);
    }
    return best;
}

bool VirtualClock::advanceToNextDeadline() {
    const auto next = nextDeadline();
    if (!next) {
        return false;
    }
    advanceTo(*next);
    return true;
}

void VirtualClock::setAutoAdvance(bool on) {
    std::lock_guard g(state_->mutex);
    state_->autoAdvance = on;
}

bool VirtualClock::autoAdvance() const {
    std::lock_guard g(state_->mutex);
    return state_->autoAdvance;
}

std::size_t VirtualClock::waiterCount() const {
    std::lock_guard g(state_->mutex);
    return state_->waiters.size();
}

bool VirtualClock::awaitWaiters(std::size_t n, std::chrono::milliseconds realTimeout) const {
    std::unique_lock g(state_->mutex);
    return state_->changed.wait_for(g, realTimeout, [&] { return state_->waiters.size() >= n; });
}

}  // namespace quorix::dispatch
