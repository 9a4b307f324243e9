#include "platform/sim/SimKeyboard.h"

#include <deque>

#include "core/text/Text.h"
#include "platform/sim/SimDesktop.h"

namespace quorix::platform {

namespace {

// Per thread: the keyboard whose handler this thread is running and how deeply.
struct Dispatching {
    const SimKeyboard* keyboard = nullptr;
    int depth = 0;
};
thread_local Dispatching tDispatching;
// Key-downs posted from inside a handler on this thread, delivered once the
// outermost handler call returns.
thread_local std::deque<std::pair<const SimKeyboard*, KeyEvent>> tDeferred;

std::string postLine(uint16_t keyCode, bool keyDown, uint64_t flags, int64_t userData) {
    std::string line = simkeys::nameFor(keyCode, flags) + (keyDown ? " down" : " up");
    if (userData == 0) {
        line += " unmarked";
    } else if (userData != simkeys::kSyntheticMarker) {
        line += " data=" + std::to_string(userData);
    }
    return line;
}

std::string userKeyLabel(uint16_t keyCode, uint64_t flags, const std::string& text) {
    if (!text.empty() && !text::isBlank(text)) {
        return text;
    }
    return simkeys::nameFor(keyCode, flags);
}

}  // namespace

SimKeyboard::SimKeyboard(SimDesktop& desktop) : desktop_(desktop) {}

bool SimKeyboard::install(Handler handler) {
    std::lock_guard lock(mutex_);
    if (handler_) {
        return true;
    }
    if (refusesHook_ || !desktop_.processTrusted() || !handler) {
        return false;
    }
    handler_ = std::make_shared<const Handler>(std::move(handler));
    return true;
}

void SimKeyboard::uninstall() {
    std::lock_guard lock(mutex_);
    handler_.reset();
}

bool SimKeyboard::isInstalled() const {
    std::lock_guard lock(mutex_);
    return handler_ != nullptr;
}

bool SimKeyboard::postKeyEvent(uint16_t keyCode, bool keyDown, uint64_t flags, int64_t userData) {
    {
        std::lock_guard lock(mutex_);
        if (postingFails_) {
            return false;
        }
    }
    desktop_.journal().record("post", postLine(keyCode, keyDown, flags, userData));
    if (!keyDown) {
        return true;
    }
    const KeyEvent event{keyCode, flags, userData};
    if (tDispatching.keyboard == this && tDispatching.depth > 0) {
        tDeferred.emplace_back(this, event);
        return true;
    }
    deliver(Pending{event, simkeys::textFor(keyCode, flags), true});
    return true;
}

bool SimKeyboard::replayKey(const KeyEvent& key, int64_t userData) {
    const bool posted = KeyPoster::replayKey(key, userData);
    std::shared_ptr<const std::function<void(const KeyEvent&)>> observer;
    {
        std::lock_guard lock(mutex_);
        observer = replayObserver_;
    }
    if (observer && *observer) {
        (*observer)(key);
    }
    return posted;
}

void SimKeyboard::setReplayObserver(std::function<void(const KeyEvent&)> observer) {
    std::lock_guard lock(mutex_);
    replayObserver_ =
        std::make_shared<const std::function<void(const KeyEvent&)>>(std::move(observer));
}

bool SimKeyboard::pressKey(uint16_t keyCode, uint64_t flags) {
    return deliver(Pending{KeyEvent{keyCode, flags, 0}, simkeys::textFor(keyCode, flags), false});
}

bool SimKeyboard::typeCharacter(std::string_view character) {
    const simkeys::KeyStroke stroke = simkeys::strokeFor(character);
    std::string text(character);
    if (stroke.keyCode == simkeys::kReturn) {
        text.clear();  // ⇧⏎ inserts the line break
    }
    return deliver(Pending{KeyEvent{stroke.keyCode, stroke.flags, 0}, std::move(text), false});
}

std::size_t SimKeyboard::typeText(std::string_view text) {
    std::size_t swallowed = 0;
    for (const auto& ch : text::characters(text)) {
        if (typeCharacter(ch)) {
            ++swallowed;
        }
    }
    return swallowed;
}

void SimKeyboard::setRefusesHook(bool refuses) {
    std::lock_guard lock(mutex_);
    refusesHook_ = refuses;
}

void SimKeyboard::setPostingFails(bool fails) {
    std::lock_guard lock(mutex_);
    postingFails_ = fails;
}

KeyDecision SimKeyboard::callHandler(const KeyEvent& event) {
    std::shared_ptr<const Handler> handler;
    {
        std::lock_guard lock(mutex_);
        handler = handler_;
    }
    if (!handler) {
        return KeyDecision::pass;
    }
    const Dispatching saved = tDispatching;
    tDispatching = {this, saved.keyboard == this ? saved.depth + 1 : 1};
    const KeyDecision decision = (*handler)(event);
    tDispatching = saved;
    return decision;
}

bool SimKeyboard::deliver(const Pending& key) {
    const KeyEvent& ev = key.event;
    SimJournal& journal = desktop_.journal();
    SimJournal::EntryId entry = 0;
    if (!key.posted) {
        entry = journal.record("key", userKeyLabel(ev.keyCode, ev.flags, key.text));
    }
    const KeyDecision decision = callHandler(ev);
    const bool swallowed = decision == KeyDecision::swallow;
    if (key.posted) {
        if (swallowed) {
            journal.record("hook", "swallowed posted " + simkeys::nameFor(ev.keyCode, ev.flags));
        }
    } else {
        journal.amend(entry, userKeyLabel(ev.keyCode, ev.flags, key.text) +
                                 (swallowed ? " swallow" : " pass"));
    }
    if (!swallowed) {
        desktop_.applyKeyDown(ev.keyCode, ev.flags, key.text);
    }
    if (tDispatching.keyboard != this || tDispatching.depth == 0) {
        drainDeferred();
    }
    return swallowed;
}

void SimKeyboard::drainDeferred() {
    while (true) {
        auto it = tDeferred.begin();
        while (it != tDeferred.end() && it->first != this) {
            ++it;
        }
        if (it == tDeferred.end()) {
            return;
        }
        const KeyEvent event = it->second;
        tDeferred.erase(it);
        deliver(Pending{event, simkeys::textFor(event.keyCode, event.flags), true});
    }
}

}  // namespace quorix::platform
