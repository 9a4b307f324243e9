#include "platform/sim/SimClock.h"

namespace quorix::platform {

SimClock::SimClock(dispatch::VirtualClock& time, SimJournal& journal)
    : time_(time), journal_(journal) {}

dispatch::Instant SimClock::now() const {
    return time_.now();
}

dispatch::WallTime SimClock::wallNow() const {
    return time_.wallNow();
}

void SimClock::sleepFor(dispatch::Duration d) {
    journal_.record("sleep", SimJournal::formatDuration(d));
    time_.sleepFor(d);
}

bool SimClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                         dispatch::Instant deadline, const std::function<bool()>& pred) {
    return time_.waitUntil(lock, cv, deadline, pred);
}

SimClock::DeadlineToken SimClock::registerDeadline(dispatch::Instant due) {
    return time_.registerDeadline(due);
}

void SimClock::unregisterDeadline(DeadlineToken token) {
    time_.unregisterDeadline(token);
}

}  // namespace quorix::platform
