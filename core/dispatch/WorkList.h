#pragma once
// Internal: the pending closures of a queue, ordered by due time, ties in
// submission order. Not thread-safe: the owning queue guards it with its mutex.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "core/dispatch/Clock.h"

namespace quorix::dispatch::detail {

struct WorkEntry {
    Instant due{0};
    std::uint64_t seq = 0;
    std::function<void()> fn;
    Clock::DeadlineToken token = 0;  // virtual-time bookkeeping, 0 when none
};

class WorkList {
  public:
    // Announces delayed work to the clock (outside the owner's lock is fine).
    static WorkEntry make(Clock& clock, Duration delay, std::function<void()> fn) {
        WorkEntry e;
        e.due = addSaturating(clock.now(), std::max(delay, Duration::zero()));
        e.fn = std::move(fn);
        if (delay > Duration::zero()) {
            e.token = clock.registerDeadline(e.due);
        }
        return e;
    }

    // Returns true when the entry became the head (the earliest).
    bool push(WorkEntry e) {
        e.seq = nextSeq_++;
        const Key key{e.due, e.seq};
        auto it = items_.emplace(key, std::move(e)).first;
        return it == items_.begin();
    }

    bool empty() const { return items_.empty(); }
    std::size_t size() const { return items_.size(); }
    std::uint64_t nextSeq() const { return nextSeq_; }
    std::optional<Instant> headDue() const {
        if (items_.empty()) {
            return std::nullopt;
        }
        return items_.begin()->first.first;
    }
    bool hasDue(Instant now) const { return !items_.empty() && items_.begin()->first.first <= now; }

    WorkEntry popHead() {
        auto node = items_.extract(items_.begin());
        return std::move(node.mapped());
    }
    // Removes and returns the first entry (in order) satisfying pred, if any.
    template <typename Pred>
    std::optional<WorkEntry> popFirstIf(Pred pred) {
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if (pred(it->second)) {
                auto node = items_.extract(it);
                return std::move(node.mapped());
            }
        }
        return std::nullopt;
    }
    std::vector<WorkEntry> takeAll() {
        std::vector<WorkEntry> out;
        out.reserve(items_.size());
        for (auto& [key, e] : items_) {
            out.push_back(std::move(e));
        }
        items_.clear();
        return out;
    }

  private:
    using Key = std::pair<Instant, std::uint64_t>;
    std::map<Key, WorkEntry> items_;
    std::uint64_t nextSeq_ = 0;
};

// Releases the clock bookkeeping of entries and destroys their closures;
// call without holding the owner's lock (closure destructors may re-enter).
inline void discard(Clock& clock, std::vector<WorkEntry>& entries) {
    for (auto& e : entries) {
        if (e.token) {
            clock.unregisterDeadline(e.token);
        }
    }
    entries.clear();
}

}  // namespace quorix::dispatch::detail
