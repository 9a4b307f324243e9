#include "platform/sim/SimPasteboard.h"

namespace quorix::platform {

SimPasteboard::SimPasteboard(SimJournal& journal) : journal_(journal) {}

int64_t SimPasteboard::changeCount() const {
    std::lock_guard lock(mutex_);
    return changeCount_;
}

std::optional<std::string> SimPasteboard::string() const {
    std::lock_guard lock(mutex_);
    return text_;
}

void SimPasteboard::clearContents() {
    std::lock_guard lock(mutex_);
    text_.reset();
    ++changeCount_;
    journal_.record("pb.clear");
}

bool SimPasteboard::setString(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (failing_) {
        journal_.record("pb.set", "failed");
        return false;
    }
    text_ = text;
    ++changeCount_;
    journal_.record("pb.set", SimJournal::quote(text));
    return true;
}

void SimPasteboard::setNonText(const std::string& what) {
    std::lock_guard lock(mutex_);
    text_.reset();
    ++changeCount_;
    journal_.record("pb.nontext", what);
}

void SimPasteboard::appCopy(const std::string& text) {
    std::lock_guard lock(mutex_);
    text_ = text;
    ++changeCount_;
    journal_.record("pb.copy", SimJournal::quote(text));
}

void SimPasteboard::setFailing(bool failing) {
    std::lock_guard lock(mutex_);
    failing_ = failing;
}

}  // namespace quorix::platform
