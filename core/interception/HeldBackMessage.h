#pragma once
// The last message held back because it ends in an unfinished mention, hashtag,
// emoji code or command. Holding back happens at most once: a second Return on
// the same text (trimmed) within the repeat window sends it as typed.
// Thread: any.

#include <mutex>
#include <optional>
#include <string>

#include "core/dispatch/Clock.h"
#include "core/text/Text.h"

namespace quorix {

class HeldBackMessage {
  public:
    static constexpr double kRepeatWindowSeconds = 3.0;

    // True when `text` was held back less than the window before `now`; the
    // memory is then spent. Otherwise `text` is remembered as held back at
    // `now` and the answer is false.
    bool isRepeat(const std::string& text, dispatch::Instant now) {
        const std::string trimmed = text::trim(text);
        std::lock_guard lock(mutex_);
        if (last_ && last_->text == trimmed &&
            now - last_->at < dispatch::seconds(kRepeatWindowSeconds)) {
            last_.reset();
            return true;
        }
        last_ = Entry{trimmed, now};
        return false;
    }

  private:
    struct Entry {
        std::string text;
        dispatch::Instant at;
    };
    std::mutex mutex_;
    std::optional<Entry> last_;
};

}  // namespace quorix
