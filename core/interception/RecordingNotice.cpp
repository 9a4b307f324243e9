#include "core/interception/RecordingNotice.h"

#include "core/dispatch/Clock.h"

namespace quorix {

void RecordingNotice::show(const std::string& text) {
    record("show \"" + text + "\"");
}

void RecordingNotice::hide(const std::optional<std::string>& completionText,
                           const std::optional<std::string>& changedWord) {
    if (!completionText) {
        record("hide -");
        return;
    }
    std::string line = "hide \"" + *completionText + "\"";
    if (changedWord) {
        line += " \"" + *changedWord + "\"";
    }
    record(std::move(line));
}

void RecordingNotice::showToast(const std::string& text, double duration) {
    record("toast \"" + text + "\" " + dispatch::formatSeconds(duration, 1) + "s");
}

std::vector<std::string> RecordingNotice::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void RecordingNotice::record(std::string line) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(line);
    }
    if (sink_) {
        sink_(line);
    }
}

}  // namespace quorix
