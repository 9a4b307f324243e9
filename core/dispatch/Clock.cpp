#include "core/dispatch/Clock.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace quorix::dispatch {

std::string formatSeconds(double seconds, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(decimals, 0, 9), seconds);
    return buffer;
}

Instant RealClock::now() const {
    return std::chrono::duration_cast<Instant>(std::chrono::steady_clock::now().time_since_epoch());
}

WallTime RealClock::wallNow() const {
    return std::chrono::system_clock::now();
}

void RealClock::sleepFor(Duration d) {
    if (d > Duration::zero()) {
        std::this_thread::sleep_for(d);
    }
}

bool RealClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                          Instant deadline, const std::function<bool()>& pred) {
    // Far-away deadlines (e.g. Instant::max()) would overflow inside
    // wait_until's clock conversions: wait without a time limit instead.
    constexpr auto kForever = std::chrono::hours(24 * 365 * 100);
    const Instant current = now();
    if (deadline <= current) {
        return pred();
    }
    if (deadline - current > kForever) {
        cv.wait(lock, [&] { return pred(); });
        return true;
    }
    const std::chrono::steady_clock::time_point tp{
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline)};
    return cv.wait_until(lock, tp, [&] { return pred(); });
}

RealClock& RealClock::instance() {
    static RealClock clock;
    return clock;
}

}  // namespace quorix::dispatch
