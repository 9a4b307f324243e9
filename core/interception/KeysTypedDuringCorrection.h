#pragma once
// The user's key presses held back while a correction runs, in order, with
// their modifiers, to be replayed once the message has left. Lone modifier
// keys are not kept (their effect is in the flags of the other keys). Escape
// discards everything typed during the correction, including what follows it.
// Thread: any.

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

    void record(const platform::KeyEvent& key) {
        if (key.isModifierKey)
            return;
        std::lock_guard lock(mutex_);
        if (key.keyCode == keys::kEscape && !escaped_) {
            escaped_ = true;
            discarded_ = keys_.size();
            keys_.clear();
        }
        if (escaped_) {
            ++discarded_;
            return;
        }
        keys_.push_back(key);
    }

    // Keys put back in front of those recorded since (a replay that started
    // another correction hands its rest back).
    void putBack(std::vector<platform::KeyEvent> rest) {
        std::lock_guard lock(mutex_);
        rest.insert(rest.end(), keys_.begin(), keys_.end());
        keys_ = std::move(rest);
    }

    // What was recorded; the recorder starts afresh.
    Taken take() {
        std::lock_guard lock(mutex_);
        Taken taken{std::move(keys_), escaped_, discarded_};
        keys_.clear();
        escaped_ = false;
        discarded_ = 0;
        return taken;
    }

  private:
    std::mutex mutex_;
    std::vector<platform::KeyEvent> keys_;
    bool escaped_ = false;
    std::size_t discarded_ = 0;
};

}  // namespace quorix
