#pragma once
// The user's key presses held back while a correction runs and while what was
// held back is being replayed, in order, with their modifiers. Lone modifier
// keys are swallowed but not kept (their effect is in the flags of the other
// keys). Escape discards everything typed during the correction, including
// what follows it.
//
// Holding starts with a correction and ends only in takeOrRelease(), under the
// same lock that records: a key is either recorded (and later taken) or
// arrives after holding ended and passes; none falls in between.
// Thread: any.

#include <atomic>
#include <cstddef>
#include <mutex>
#include <utility>
#include <vector>

#include "core/interception/KeyCodes.h"
#include "platform/Keyboard.h"

namespace quorix {

class KeysTypedDuringCorrection {
  public:
    struct Taken {
        std::vector<platform::KeyEvent> keys;
        bool escaped = false;
        std::size_t discarded = 0;  // keys dropped by Escape, Escape included
    };

    bool isHolding() const { return holding_.load(); }

    void startHolding() {
        std::lock_guard lock(mutex_);
        holding_.store(true);
    }

    // Records the key when holding; false (nothing recorded) otherwise.
    bool recordIfHolding(const platform::KeyEvent& key) {
        // Holding starts only on the thread that routes keys (a Return), so
        // a key seen here while it is off cannot miss its start.
        if (!holding_.load()) {
            return false;
        }
        std::lock_guard lock(mutex_);
        if (!holding_.load()) {
            return false;
        }
        if (key.isModifierKey) {
            return true;
        }
        if (key.keyCode == keys::kEscape && !escaped_) {
            escaped_ = true;
            discarded_ = keys_.size();
            keys_.clear();
        }
        if (escaped_) {
            ++discarded_;
            return true;
        }
        keys_.push_back(key);
        return true;
    }

    // Keys put back in front of those recorded since (a replay that started
    // another correction hands its rest back).
    void putBack(std::vector<platform::KeyEvent> rest) {
        std::lock_guard lock(mutex_);
        rest.insert(rest.end(), keys_.begin(), keys_.end());
        keys_ = std::move(rest);
    }

    // What was recorded; the recorder starts afresh. When no key is left to
    // replay (none recorded, or Escape discarded them) holding ends.
    Taken takeOrRelease() {
        std::lock_guard lock(mutex_);
        Taken taken{std::move(keys_), escaped_, discarded_};
        keys_.clear();
        escaped_ = false;
        discarded_ = 0;
        if (taken.keys.empty()) {
            holding_.store(false);
        }
        return taken;
    }

  private:
    std::mutex mutex_;
    std::vector<platform::KeyEvent> keys_;
    bool escaped_ = false;
    std::size_t discarded_ = 0;
    std::atomic<bool> holding_{false};
};

}  // namespace quorix
