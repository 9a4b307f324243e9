#include "platform/sim/SimPasteboard.h"

namespace quorix::platform {

SimPasteboard::SimPasteboard(SimJournal& journal) : journal_(journal) {}

int64_t SimPasteboard::changeCount() const {
    std::lock_guard lock(mutex_);
    return changeCount_;
}

std::optional<std::string> SimPasteboard::string() const {
    std::lock_guard lock(mutex_);
    if (takePending_) {
        takePending_ = false;
        items_ = {{kPlainTextType, taker_}};
        ++changeCount_;
        owner_ = 0;
        programOwns_ = false;
        journal_.record("pb.taken", SimJournal::quote(taker_));
    }
    for (const auto& item : items_) {
        if (item.type == kPlainTextType) {
            return item.data;
        }
    }
    return std::nullopt;
}

PasteboardContents SimPasteboard::contents(std::size_t byteLimit) const {
    std::lock_guard lock(mutex_);
    std::size_t total = 0;
    for (const auto& item : items_) {
        total += item.data.size();
    }
    if (total <= byteLimit) {
        return PasteboardContents{items_, false};
    }
    PasteboardContents textOnly;
    textOnly.truncated = true;
    for (const auto& item : items_) {
        if (item.type == kPlainTextType && item.data.size() <= byteLimit) {
            textOnly.items.push_back(item);
        }
    }
    return textOnly;
}

bool SimPasteboard::setContents(const std::vector<PasteboardItem>& items) {
    std::lock_guard lock(mutex_);
    if (failing_) {
        journal_.record("pb.set", "failed");
        return false;
    }
    items_ = items;
    ++changeCount_;
    owner_ = 0;
    programOwns_ = true;
    if (items.size() == 1 && items.front().type == kPlainTextType) {
        journal_.record("pb.set", SimJournal::quote(items.front().data));
    } else {
        std::string types;
        for (const auto& item : items) {
            types += (types.empty() ? "" : " ") + item.type;
        }
        journal_.record("pb.items", types);
    }
    return true;
}

void SimPasteboard::clearContents() {
    std::lock_guard lock(mutex_);
    items_.clear();
    ++changeCount_;
    owner_ = 0;
    programOwns_ = false;
    journal_.record("pb.clear");
}

bool SimPasteboard::setString(const std::string& text) {
    std::lock_guard lock(mutex_);
    if (failing_) {
        journal_.record("pb.set", "failed");
        return false;
    }
    items_ = {{kPlainTextType, text}};
    ++changeCount_;
    owner_ = 0;
    programOwns_ = true;
    journal_.record("pb.set", SimJournal::quote(text));
    if (takes_ > 0) {
        --takes_;
        takePending_ = true;
    }
    return true;
}

void SimPasteboard::setNonText(const std::string& what) {
    std::lock_guard lock(mutex_);
    items_ = {{what, {}}};
    ++changeCount_;
    owner_ = 0;
    programOwns_ = false;
    journal_.record("pb.nontext", what);
}

void SimPasteboard::appCopy(const std::string& text, int32_t pid) {
    std::lock_guard lock(mutex_);
    items_ = {{kPlainTextType, text}};
    ++changeCount_;
    owner_ = pid;
    programOwns_ = false;
    journal_.record("pb.copy", SimJournal::quote(text));
}

std::optional<bool> SimPasteboard::isOwnedBy(int32_t pid) const {
    std::lock_guard lock(mutex_);
    return owner_ == pid;
}

std::optional<std::string> SimPasteboard::appPaste() {
    auto text = string();
    std::lock_guard lock(mutex_);
    if (text && programOwns_) {
        ++ownTextReads_;
    }
    return text;
}

std::optional<int64_t> SimPasteboard::ownTextReads() const {
    std::function<void()> hook;
    {
        std::lock_guard lock(mutex_);
        hook = beforeReadCount_;
    }
    if (hook) {
        hook();
    }
    std::lock_guard lock(mutex_);
    return ownTextReads_;
}

void SimPasteboard::setBeforeReadCount(std::function<void()> hook) {
    std::lock_guard lock(mutex_);
    beforeReadCount_ = std::move(hook);
}

void SimPasteboard::takeAfterNextSets(const std::string& text, int times) {
    std::lock_guard lock(mutex_);
    taker_ = text;
    takes_ = times;
}

void SimPasteboard::setFailing(bool failing) {
    std::lock_guard lock(mutex_);
    failing_ = failing;
}

}  // namespace quorix::platform
