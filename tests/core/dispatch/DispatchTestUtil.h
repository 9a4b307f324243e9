#pragma once
// Synchronisation helpers for the dispatch tests. Waits are bounded in real
// time only as a safety net against hangs; passing tests never hit them.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/dispatch/VirtualClock.h"

namespace quorix::dispatch::testing {

inline constexpr auto kSafety = std::chrono::seconds(20);

// A one-shot gate: threads wait() until open().
class Gate {
  public:
    void open() {
        std::lock_guard g(m_);
        open_ = true;
        cv_.notify_all();
    }
    bool wait() {
        std::unique_lock lk(m_);
        return cv_.wait_for(lk, kSafety, [&] { return open_; });
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

// A closure body that parks its thread: block() opens `entered`, then waits
// for `release`.
struct Blocker {
    Gate entered, release;
    void block() {
        entered.open();
        release.wait();
    }
    // Opens `release` a few ms from now on another thread, so that the caller
    // can start blocking on the parked closure first; joins when destroyed.
    [[nodiscard]] std::jthread releaseSoon() {
        return std::jthread([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            release.open();
        });
    }
};

// Runs a blocking call on its own thread: result() is -1 until it returns,
// then 1 for true and 0 for false.
class Outcome {
  public:
    explicit Outcome(std::function<bool()> call)
        : thread_([this, call = std::move(call)] { result_ = call() ? 1 : 0; }) {}
    int result() const { return result_; }
    void join() { thread_.join(); }

  private:
    std::atomic<int> result_{-1};
    std::jthread thread_;  // declared last: started after, joined before result_
};

// Thread-safe append-only record.
template <typename T>
class Record {
  public:
    void add(T v) {
        std::lock_guard g(m_);
        items_.push_back(std::move(v));
    }
    std::vector<T> items() const {
        std::lock_guard g(m_);
        return items_;
    }

  private:
    mutable std::mutex m_;
    std::vector<T> items_;
};

// Polls cond (state owned by other threads) until it holds; false on the
// safety time-out.
inline bool eventually(const std::function<bool()>& cond) {
    const auto limit = std::chrono::steady_clock::now() + kSafety;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > limit) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Runs everything due on q: drain() for threaded queues, runUntilIdle() for
// a ManualQueue.
template <typename Q>
void settle(Q& q) {
    if constexpr (requires { q.drain(); }) {
        q.drain();
    } else {
        q.runUntilIdle();
    }
}

// Moves virtual time `steps` times by `step`, settling q after each move.
template <typename Q>
void tick(VirtualClock& clock, Q& q, int steps, Duration step = std::chrono::seconds(1)) {
    for (int i = 0; i < steps; ++i) {
        clock.advance(step);
        settle(q);
    }
}

}  // namespace quorix::dispatch::testing
