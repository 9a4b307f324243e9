#pragma once
// Small synchronisation helpers for the dispatch tests. Waits are bounded in
// real time only as a safety net against hangs; passing tests never hit them.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

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
    bool isOpen() {
        std::lock_guard g(m_);
        return open_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

// Polls cond (state owned by other threads) until it holds; false on the
// safety time-out.
inline bool eventually(const std::function<bool()>& cond) {
    const auto limit = std::chrono::steady_clock::now() + kSafety;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

}  // namespace quorix::dispatch::testing
