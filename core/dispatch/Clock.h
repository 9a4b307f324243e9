#pragma once
// Time source of the program. Every delay, timer, timed wait and sleep goes
// through a Clock so that tests can run in virtual time.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace quorix::dispatch {

using Duration = std::chrono::nanoseconds;
// Monotonic instant, counted from the clock's own origin.
using Instant = std::chrono::nanoseconds;
using WallTime = std::chrono::system_clock::time_point;

inline constexpr Duration seconds(double s) {
    return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(s));
}
inline constexpr Duration micros(long long us) {
    return std::chrono::microseconds(us);
}

// Seconds as the log and notices write them: fixed point with `decimals`
// places (0..9), no unit ("0.53", "2.5").
std::string formatSeconds(double seconds, int decimals = 2);

// at + d, saturating at Instant::max()/min() instead of overflowing (a huge
// delay or timeout means "never").
inline constexpr Instant addSaturating(Instant at, Duration d) {
    if (d > Duration::zero() && at > Instant::max() - d) {
        return Instant::max();
    }
    if (d < Duration::zero() && at < Instant::min() - d) {
        return Instant::min();
    }
    return at + d;
}

class Clock {
  public:
    virtual ~Clock() = default;

    // Monotonic now.
    virtual Instant now() const = 0;
    // Calendar now (log timestamps, dates stored in settings).
    virtual WallTime wallNow() const = 0;
    // Blocks the calling thread for d.
    virtual void sleepFor(Duration d) = 0;
    // Waits on cv (with lock held by the caller) until pred() holds or now()
    // reaches deadline. Returns pred() at exit. Wakers must notify cv after
    // changing what pred reads, under the same mutex, as with any condition
    // variable; the clock additionally wakes the waiter when time moves.
    virtual bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                           Instant deadline, const std::function<bool()>& pred) = 0;

    // Bookkeeping for virtual time (no-ops on a real clock): queues announce the
    // due time of delayed work when it is submitted, so that
    // VirtualClock::nextDeadline() sees it even before a worker waits for it.
    // The token is released when the work starts or is dropped.
    using DeadlineToken = std::uint64_t;
    virtual DeadlineToken registerDeadline(Instant /*due*/) { return 0; }
    virtual void unregisterDeadline(DeadlineToken /*token*/) {}
};

// The process clock: steady_clock and system_clock.
class RealClock final : public Clock {
  public:
    Instant now() const override;
    WallTime wallNow() const override;
    void sleepFor(Duration d) override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                   Instant deadline, const std::function<bool()>& pred) override;

    // A process-wide instance for code that runs without an injected clock.
    static RealClock& instance();
};

}  // namespace quorix::dispatch
